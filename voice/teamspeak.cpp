// TeamSpeak is driven through its remote-control library: loaded for each
// request, handed one "teamspeak://" address, released again.
#include <cstring>
#include <string>

#include "core/host.h"
#include "core/text.h"
#include "net/connection_record.h"
#include "platform/platform.h"
#include "protocol/alerts.h"
#include "ui/history.h"
#include "voice/voice_control.h"

namespace talvix {
namespace {

constexpr char kLibrary[] = "TSRemote";
constexpr char kConnectExport[] = "tsrConnect";
constexpr char kUnicomChannel[] = "UNICOM";
constexpr char kNoLibraryLine[] =
    "****> Unable to load the TSRemote.DLL for TeamSpeak driving, Please "
    "check if available in your >System32<";

// The server part of the last address handed over; emptied when the
// library refuses a request, and then UNICOM switches leave TeamSpeak alone.
char g_server[128] = "";

std::string Address(const char* server, const char* channel) {
  const ConnectionRecord& me = Connection();
  return std::string("teamspeak://") + server + "?nickname=" + me.callsign +
         "?loginname=" + me.username + "?password=" + me.password +
         "?channel=" + channel;
}

enum class Outcome { kAccepted, kRefused, kNoLibrary, kNoExport };

// One request through the library; a refusal forgets the server.
Outcome Connect(const std::string& address) {
  void* library = host::LoadHostLibrary(kLibrary);
  if (library == nullptr) return Outcome::kNoLibrary;
  void* connect = host::FindExport(library, kConnectExport);
  Outcome outcome = Outcome::kNoExport;
  if (connect != nullptr) {
    outcome = platform::CallLibraryConnect(connect, address.c_str()) == 0
                  ? Outcome::kAccepted
                  : Outcome::kRefused;
    if (outcome == Outcome::kRefused) g_server[0] = '\0';
  }
  host::ReleaseLibrary(library);
  return outcome;
}

}  // namespace

const char* RememberedTeamSpeakServer() { return g_server; }

bool SwitchTeamSpeak(const std::string& server, const char* channel) {
  // A longer server would be cut into the address of another server. It is
  // refused, and the one remembered before is no longer the one announced.
  if (server.size() >= sizeof g_server) {
    g_server[0] = '\0';
    return false;
  }
  CopyText(g_server, server);
  const Outcome outcome = Connect(Address(g_server, channel));
  if (outcome == Outcome::kNoLibrary) {
    AddHistoryLine(kNoLibraryLine);
    AlertUser();
  }
  return outcome == Outcome::kAccepted;
}

void SwitchTeamSpeakToUnicom() {
  if (g_server[0] == '\0') return;
  if (Connect(Address(g_server, kUnicomChannel)) == Outcome::kAccepted) {
    AddHistoryLine("----> Switched TeamSpeak to UNICOM");
  }
}

}  // namespace talvix
