#include "protocol/session_end.h"

#include "atc/stations.h"
#include "core/host.h"
#include "net/ctx_socket.h"
#include "net/session.h"
#include "protocol/alerts.h"
#include "traffic/traffic_table.h"
#include "ui/history.h"

namespace talvix {
namespace {

constexpr char kLostLine[] = "Connection to the server lost.";
constexpr char kNoConnectionLine[] = "Could not connect to the server at ";
constexpr float kGoneNoticeSeconds = 10.0f;

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

void TellSessionGone(const std::string& line, const DroppedLines& dropped) {
  AddHistoryLine(line.c_str());
  host::TimedMessage(line.c_str(), kGoneNoticeSeconds);
  ReportDroppedLines(dropped);
  PlayAttention();
}

void EndGoneSession() {
  CTXSocket* session = currentSession();
  if (session == nullptr) return;
  std::string line;
  int unsent = 0;
  if (session->neverConnected()) {
    line = kNoConnectionLine + SessionServer() + ".";
  } else if (session->lost() && session->incoming().count() == 0) {
    line = kLostLine;
    // Counted once the sender has stopped: what it had in hand or queued
    // will never reach the server.
    unsent = StopSending();
  } else {
    return;
  }
  DroppedLines dropped = EndSession(kSessionGone);
  dropped.unsent = unsent;
  TellSessionGone(line, dropped);
}

}  // namespace talvix
