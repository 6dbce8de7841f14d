// Lines a full queue dropped are told to the user once per overflow, with
// their number: when the queue has room again, or when the session ends
// while it is still full (a server that never reads again).
#pragma once

namespace talvix {

class CTXSocket;

struct DroppedLines {
  int incoming = 0;
  int outgoing = 0;
  // Lines still waiting to be written when the connection was lost.
  int unsent = 0;
};

// Takes the counts of the overflows that have ended: a queue (or a lane of
// the outgoing queue) with room again, or every one when the session is
// ending. Null takes nothing.
DroppedLines TakeDroppedLines(CTXSocket* session, bool sessionEnding);
// One history line for each queue that lost lines, then one for the lines
// a lost connection left unsent.
void ReportDroppedLines(const DroppedLines& lost);

}  // namespace talvix
