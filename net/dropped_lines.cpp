#include "net/dropped_lines.h"

#include <string>

#include "net/ctx_socket.h"
#include "ui/history.h"

namespace talvix {
namespace {

bool Ended(const PacketQueue& queue, bool sessionEnding) {
  return sessionEnding || queue.count() < PacketQueue::kSlots;
}

std::string Lines(int count) {
  return std::to_string(count) + (count == 1 ? " line" : " lines");
}

}  // namespace

DroppedLines TakeDroppedLines(CTXSocket* session, bool sessionEnding) {
  DroppedLines lost;
  if (session == nullptr) return lost;
  if (Ended(session->incoming(), sessionEnding))
    lost.incoming = session->takeDroppedIncoming();
  // Each lane of the outgoing queue overflows and gets room on its own.
  for (const OutgoingQueue::Lane lane :
       {OutgoingQueue::kLines, OutgoingQueue::kRequests}) {
    if (Ended(session->outgoing().lane(lane), sessionEnding))
      lost.outgoing += session->takeDroppedOutgoing(lane);
  }
  return lost;
}

void ReportDroppedLines(const DroppedLines& lost) {
  if (lost.incoming > 0)
    AddHistoryLine(("Incoming queue full: " + Lines(lost.incoming) +
                    " received from the server dropped.")
                       .c_str());
  if (lost.outgoing > 0)
    AddHistoryLine(("Outgoing queue full: " + Lines(lost.outgoing) +
                    " not sent to the server.")
                       .c_str());
  if (lost.unsent > 0)
    AddHistoryLine((Lines(lost.unsent) + " not sent to the server.").c_str());
}

}  // namespace talvix
