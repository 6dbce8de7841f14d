// "$!!": the server removes a client; for the user that ends the session.
#include <string>

#include "core/guard.h"
#include "net/connection_record.h"
#include "net/field_reader.h"
#include "protocol/alerts.h"
#include "protocol/handlers.h"
#include "protocol/session_end.h"
#include "ui/history.h"

namespace talvix {
namespace {
constexpr char kGuard[] =
    "*****> handle!! - Talvix: Exception caught. Notify author.";
}  // namespace

void handleKILL(Packet* packet) {
  RunGuarded(kGuard, [packet] {
    FieldReader fields(packet->payload());
    fields.skip();
    const std::string removed = fields.next();
    if (removed != OwnCallsign()) return;
    // The traffic, the stations and the history stay as they are.
    const DroppedLines lost = EndSession({false, false});
    const std::string reason = fields.next();
    AddHistoryLine(("You have been removed by: " + reason).c_str());
    ReportDroppedLines(lost);
    PlayAttention();
  });
}

}  // namespace talvix
