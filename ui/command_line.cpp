// The command line 'text' of the main window: a dot-command found by its
// prefix, or chat on the tuned frequency.
#include "ui/command_line.h"

#include <cstddef>
#include <string>

#include "core/host.h"
#include "core/text.h"
#include "net/packet.h"
#include "net/session.h"
#include "ui/command_line_commands.h"
#include "ui/history.h"
#include "ui/window_codes.h"

namespace talvix {
namespace {

constexpr std::uint32_t kWindow = codes::kMainWindow;
constexpr std::uint32_t kField = codes::kCommandLine;

// A command is known by its prefix, compared upper-cased over its length;
// its argument starts at a fixed position of the line. A command that needs
// an argument posts its usage line instead when the argument is missing or
// blank. run returns false when it refused the line.
struct Command {
  const char* prefix;
  std::size_t argumentAt;
  const char* usage;  // null: no argument needed
  bool (*run)(const std::string& argument);
};

// Tried in this order; the first that matches decides. ".RW " needs its
// blank, so ".RWK" never reaches it; ".ATC" only clears the field.
const Command kCommands[] = {
    {".ATIS", 6, "Usage: .atis STATION", commands::RequestAtis},
    {".ACARS", 7, "Usage: .acars STATION", commands::RequestAcars},
    {".PING", 6, "Usage: .ping CALLSIGN", commands::SendPing},
    {".RW ", 4, "Usage: .rw ADDRESS", commands::JoinVoiceChannel},
    {".RWK", 4, nullptr,
     [](const std::string&) { return commands::LeaveVoiceChannel(); }},
    {".ATC", 4, nullptr, [](const std::string&) { return true; }},
    {".MSG", 5, nullptr, commands::SendPrivateMessage},  // says its own usage
    {".WX", 4, "Usage: .wx STATION", commands::RequestWeather},
    {".MT", 4, "Usage: .mt STATION", commands::RequestMetar},
};

bool StartsWithCommand(const std::string& line, const std::string& prefix) {
  return line.size() >= prefix.size() &&
         ToUpper(line.substr(0, prefix.size())) == prefix;
}

std::string ArgumentFrom(const std::string& line, std::size_t position) {
  return position < line.size() ? line.substr(position) : std::string();
}

bool IsBlank(const std::string& text) {
  return text.find_first_not_of(" \t") == std::string::npos;
}

// A dot and a letter: meant as a command, never chat for everyone.
bool LooksLikeCommand(const std::string& line) {
  if (line.size() < 2 || line[0] != '.') return false;
  const char c = line[1];
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

const Command* FindCommand(const std::string& line) {
  for (const Command& command : kCommands) {
    if (StartsWithCommand(line, command.prefix)) return &command;
  }
  return nullptr;
}

// False when the line was refused.
bool Run(const Command& command, const std::string& line) {
  const std::string argument = ArgumentFrom(line, command.argumentAt);
  if (command.usage != nullptr && IsBlank(argument)) {
    AddHistoryLine(command.usage);
    return false;
  }
  return command.run(argument);
}

// The typed word that is no command: up to the first blank or control
// character, so the history line shows only what can be read.
std::string FirstWord(const std::string& line) {
  std::size_t end = 0;
  while (end < line.size() && static_cast<unsigned char>(line[end]) > ' ' &&
         line[end] != 0x7F)
    ++end;
  return line.substr(0, end);
}

// ".help" asks for the list; any other dot and letter is told as no
// command first. False when the line was refused.
bool ListCommands(const std::string& line) {
  const std::string word = FirstWord(line);
  const bool help = ToUpper(word) == ".HELP";
  if (!help) AddHistoryLine((word + " is not a command.").c_str());
  AddHistoryLine(commands::kCommandList);
  return help;
}

void ClearField() {
  host::SetText(kWindow, kField, "");
  host::Redraw(kWindow, kField);
}

}  // namespace

void RunCommandLine() {
  char text[Packet::kTextSize] = "";
  host::GetText(kWindow, kField, text, sizeof text);
  text[sizeof text - 1] = '\0';
  const std::string line(text);
  if (line.empty()) return;
  const Command* command = FindCommand(line);
  // A mistyped command (or ".help") sends nothing, connected or not; the
  // mistyped one stays in the field to be mended.
  if (command == nullptr && LooksLikeCommand(line)) {
    if (ListCommands(line)) ClearField();
    return;
  }
  // Not connected: the text stays, so that it can be sent later.
  if (!IsConnected()) {
    AddHistoryLine(commands::kConnectFirst);
    return;
  }
  // A refused line stays too, so that it can be mended.
  const bool done = command != nullptr ? Run(*command, line)
                                       : commands::SendFrequencyChat(line);
  if (done) ClearField();
}

}  // namespace talvix
