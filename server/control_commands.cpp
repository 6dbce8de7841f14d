#include "server/control_commands.h"

#include <utility>

#include "server/wire_line.h"

namespace netserver {
namespace {

// Splits off the first blank-separated word; the rest keeps its inner blanks.
std::pair<std::string, std::string> firstWord(const std::string& text) {
  const auto start = text.find_first_not_of(' ');
  if (start == std::string::npos) return {"", ""};
  const auto end = text.find(' ', start);
  if (end == std::string::npos) return {text.substr(start), ""};
  return {text.substr(start, end - start), text.substr(end + 1)};
}

// A raw line from the console goes out as one line: no line end inside.
std::string oneLine(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

}  // namespace

ControlCommands::ControlCommands(Router& router, const EventLog& log,
                                 std::function<void()> quit)
    : router_(router), log_(log), quit_(std::move(quit)) {}

void ControlCommands::execute(const std::string& commandLine) {
  std::string text = commandLine;
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
    text.pop_back();
  const auto [command, rest] = firstWord(text);
  if (command.empty()) return;

  if (command == "send") {
    const auto [callsign, raw] = firstWord(rest);
    if (callsign.empty() || raw.empty()) {
      log_.event("error usage: send CALLSIGN RAWLINE");
    } else if (router_.sendTo(callsign, oneLine(raw))) {
      log_.event("sent " + callsign);
    } else {
      log_.event("error no client " + callsign);
    }
  } else if (command == "sendall") {
    if (rest.empty()) {
      log_.event("error usage: sendall RAWLINE");
    } else {
      router_.sendToAll(oneLine(rest));
      log_.event("sentall " + std::to_string(router_.callsigns().size()));
    }
  } else if (command == "kill") {
    const auto [callsign, reason] = firstWord(rest);
    if (callsign.empty()) {
      log_.event("error usage: kill CALLSIGN REASON");
    } else if (router_.kill(callsign, oneLine(reason))) {
      log_.event("killed " + callsign);
    } else {
      log_.event("error no client " + callsign);
    }
  } else if (command == "close") {
    const auto callsign = firstWord(rest).first;
    if (callsign.empty()) {
      log_.event("error usage: close CALLSIGN");
    } else if (router_.close(callsign)) {
      log_.event("closed " + callsign);
    } else {
      log_.event("error no client " + callsign);
    }
  } else if (command == "list") {
    std::string line = "list";
    for (const auto& callsign : router_.callsigns()) line += " " + callsign;
    log_.event(line);
  } else if (command == "plans") {
    const auto& plans = router_.flightPlans().plans();
    for (const auto& [callsign, plan] : plans)
      log_.event("plan " + callsign + " " + printable(plan));
    log_.event("plans " + std::to_string(plans.size()));
  } else if (command == "quit") {
    log_.event("quit");
    if (quit_) quit_();
  } else {
    log_.event("error unknown command " + printable(command));
  }
}

}  // namespace netserver
