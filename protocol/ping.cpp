// "$PI": a ping for the user is answered with a pong echoing its values.
#include <new>
#include <string>
#include <vector>

#include "core/guard.h"
#include "net/connection_record.h"
#include "net/field_reader.h"
#include "net/session.h"
#include "protocol/handlers.h"
#include "ui/history.h"

namespace talvix {
namespace {
constexpr char kGuard[] =
    "****> handlePI - Talvix: Exception caught. Notify author.";

bool AddressedToUser(const std::string& addressee) {
  return addressee == OwnCallsign() || addressee == "*" || addressee == "*P";
}
}  // namespace

void handlePI(Packet* packet) {
  RunGuarded(kGuard, [packet] {
    FieldReader fields(packet->payload());
    const std::string sender = fields.next();
    const std::string addressee = fields.next();
    std::vector<std::string> values{fields.next()};
    if (fields.hasMore()) {
      values.push_back(fields.next());
      values.push_back(fields.next());
    }
    if (!AddressedToUser(addressee)) return;

    Packet* pong = new (std::nothrow) Packet();
    if (pong == nullptr) {
      reportFatalMemoryError();
      return;
    }
    pong->setText("$PO");
    pong->appendField(OwnCallsign());
    pong->appendField(sender.c_str());
    for (const std::string& value : values) pong->appendField(value.c_str());
    // Without a session the pong is dropped and nothing is said; with one,
    // the sender says "PONG Sent" once it has written it.
    pong->setSentNote("PONG Sent");
    QueueIfSession(pong);
  });
}

}  // namespace talvix
