#include "protocol/session_end.h"

#include <string>

#include "atc/stations.h"
#include "net/ctx_socket.h"
#include "net/session.h"
#include "traffic/traffic_table.h"
#include "ui/history.h"

namespace talvix {
namespace {

constexpr char kLostLine[] = "Connection to the server lost.";
constexpr char kNoConnectionLine[] = "Could not connect to the server at ";

// What the user was reading stays; nothing of the old network does.
constexpr SessionEnding kGone{true, false};

}  // namespace

DroppedLines EndSession(const SessionEnding& ending) {
  const DroppedLines lost = TakeDroppedLines(currentSession(), true);
  if (ending.clearLists) {
    RemoveAllTraffic();
    ClearStations();
  }
  disconnectFromServer();
  if (ending.clearHistory) ClearHistory();
  return lost;
}

void EndGoneSession() {
  CTXSocket* session = currentSession();
  if (session == nullptr) return;
  std::string line;
  if (session->neverConnected()) {
    line = kNoConnectionLine + SessionServer() + ".";
  } else if (session->lost() && session->incoming().count() == 0) {
    line = kLostLine;
  } else {
    return;
  }
  const DroppedLines dropped = EndSession(kGone);
  AddHistoryLine(line.c_str());
  ReportDroppedLines(dropped);
}

}  // namespace talvix
