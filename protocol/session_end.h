// The one way a session ends, for Disconnect, Exit, a kill, a lost
// connection and one that never came about. Simulator's thread only.
#pragma once

#include <string>

#include "net/dropped_lines.h"

namespace talvix {

struct SessionEnding {
  // Every pilot, and every ATC station but the first.
  bool clearLists;
  bool clearHistory;
};

// A session the user did not end (lost, never connected, killed): nothing
// of the old network stays, what the user was reading does.
constexpr SessionEnding kSessionGone{true, false};

// Stops and destroys the sender, then the session, and empties what the
// ending asks for. Hands back what a queue still full had dropped, for the
// caller to report after its own line. The tuned station, the radio and
// 'aFrq' stay as they are.
DroppedLines EndSession(const SessionEnding& ending);

// Tells the user that a session ended without being asked to: the line in
// the history, the same text as a screen notice of ten seconds (a history
// line is lost while the main window is closed), the lines a full queue
// dropped, then the attention sound.
void TellSessionGone(const std::string& line, const DroppedLines& dropped);

// Run at the start of every idle call. A session whose server closed or
// broke the connection is ended once the lines it had received are
// handled, with "Connection to the server lost."; one that never connected
// is ended with "Could not connect to the server at " and its address.
// Both keep the history and clear the lists, so Connect works at once. A
// lost connection also says how many lines it left unsent.
void EndGoneSession();

}  // namespace talvix
