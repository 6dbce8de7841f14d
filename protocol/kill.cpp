// "$!!": the server removes a client; for the user that ends the session.
#include <string>

#include "core/guard.h"
#include "net/connection_record.h"
#include "net/field_reader.h"
#include "protocol/handlers.h"
#include "protocol/session_end.h"

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
    // Ends as a lost session does: the traffic and the stations go, the
    // history stays.
    const DroppedLines lost = EndSession(kSessionGone);
    const std::string reason = fields.next();
    TellSessionGone("You have been removed by: " + reason, lost);
  });
}

}  // namespace talvix
