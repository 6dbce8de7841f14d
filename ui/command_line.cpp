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
// its argument starts at a fixed position of the line.
struct Command {
  const char* prefix;
  std::size_t argumentAt;
  void (*run)(const std::string& argument);
};

// Tried in this order; the first that matches decides. ".RW " needs its
// blank, so ".RWK" never reaches it; ".ATC" only clears the field.
const Command kCommands[] = {
    {".ATIS", 6, commands::RequestAtis},
    {".ACARS", 7, commands::RequestAcars},
    {".PING", 6, commands::SendPing},
    {".RW ", 4, commands::JoinVoiceChannel},
    {".RWK", 4, [](const std::string&) { commands::LeaveVoiceChannel(); }},
    {".ATC", 4, [](const std::string&) {}},
    {".MSG", 5, commands::SendPrivateMessage},
    {".WX", 4, commands::RequestWeather},
    {".MT", 4, commands::RequestMetar},
};

bool StartsWithCommand(const std::string& line, const std::string& prefix) {
  return line.size() >= prefix.size() &&
         ToUpper(line.substr(0, prefix.size())) == prefix;
}

std::string ArgumentFrom(const std::string& line, std::size_t position) {
  return position < line.size() ? line.substr(position) : std::string();
}

void Interpret(const std::string& line) {
  for (const Command& command : kCommands) {
    if (StartsWithCommand(line, command.prefix)) {
      command.run(ArgumentFrom(line, command.argumentAt));
      return;
    }
  }
  commands::SendFrequencyChat(line);
}

}  // namespace

void RunCommandLine() {
  char text[Packet::kTextSize] = "";
  host::GetText(kWindow, kField, text, sizeof text);
  text[sizeof text - 1] = '\0';
  const std::string line(text);
  if (line.empty()) return;
  // Not connected: the text stays, so that it can be sent later.
  if (!IsConnected()) {
    AddHistoryLine(commands::kConnectFirst);
    return;
  }
  Interpret(line);
  host::SetText(kWindow, kField, "");
  host::Redraw(kWindow, kField);
}

}  // namespace talvix
