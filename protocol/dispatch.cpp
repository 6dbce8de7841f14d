#include "protocol/dispatch.h"

#include <chrono>
#include <cstring>
#include <memory>
#include <new>
#include <string>

#include "core/guard.h"
#include "net/ctx_socket.h"
#include "net/dropped_lines.h"
#include "net/queue_locks.h"
#include "net/session.h"
#include "protocol/handlers.h"
#include "ui/history.h"

namespace talvix {
namespace {

constexpr char kHasMessagesGuard[] = "hasMessages - Talvix: Exception caught.";
constexpr char kGetNextMessageGuard[] =
    "****> getNextMessage - Talvix: Exception caught. Notify author.";

struct Route {
  const char* prefix;
  void (*handler)(Packet*);  // null: recognised and dropped
};

// First match wins, in this order.
constexpr Route kHashRoutes[] = {
    {"#TM", handleTM}, {"#DA", handleDA}, {"#CD", handleCD}, {"#WD", handleWD},
    {"#TX", handleTX}, {"#DL", nullptr},  {"#TD", handleTD},
};
constexpr Route kDollarRoutes[] = {
    {"$ER", handleER},   {"$PI", handlePI}, {"$PO", handlePO},
    {"$!!", handleKILL}, {"$AR", handleAR}, {"$CQ", handleCQ},
};

template <std::size_t N>
void RouteByPrefix(const Route (&routes)[N], Packet* packet) {
  const char* prefix = packet->getPrefix();
  for (const Route& route : routes) {
    if (std::strcmp(prefix, route.prefix) == 0) {
      if (route.handler != nullptr) route.handler(packet);
      return;
    }
  }
}

}  // namespace

void RouteReceivedPacket(Packet* packet) {
  switch (packet->kind()) {
    case kPacketPilot: handleAT(packet); break;
    case kPacketAtc: handlePERCENT(packet); break;
    case kPacketHash: RouteByPrefix(kHashRoutes, packet); break;
    case kPacketDollar: RouteByPrefix(kDollarRoutes, packet); break;
    default: break;  // not a line this plug-in handles
  }
}

namespace {

// The count is read without the lock: this is the only thread that pops,
// so a count above 0 cannot fall to 0 before the pop, and an empty queue
// costs the receiver nothing.
bool hasMessages(CTXSocket* session) {
  bool any = false;
  RunGuarded(kHasMessagesGuard, [&] { any = session->incoming().count() > 0; });
  return any;
}

// Pops the oldest packet and hands back a copy made from its text, so the
// handler works on a packet no other thread has seen. Null when nothing was
// taken.
Packet* getNextMessage(CTXSocket* session, bool* outOfMemory) {
  platform::LockGuard hold(IncomingLock());
  Packet* popped = nullptr;
  RunGuarded(kGetNextMessageGuard, [&] { popped = session->incoming().pop(); });
  if (popped == nullptr) return nullptr;
  Packet* copy = new (std::nothrow) Packet(popped->text());
  delete popped;
  *outOfMemory = copy == nullptr;
  return copy;
}

// Handles the oldest waiting line; false when none was waiting (or the
// session is gone or not connected).
bool handleOneIncoming() {
  CTXSocket* session = currentSession();
  if (session == nullptr || !session->connected()) return false;
  if (!hasMessages(session)) {
    ReportDroppedLines(TakeDroppedLines(session, false));
    return false;
  }
  bool outOfMemory = false;
  std::unique_ptr<Packet> packet(getNextMessage(session, &outOfMemory));
  if (outOfMemory) reportFatalMemoryError();
  ReportDroppedLines(TakeDroppedLines(session, false));
  // A handler may end the session (a kill): the next line looks it up again.
  if (packet) RouteReceivedPacket(packet.get());
  return true;
}

}  // namespace

int handleIncomingMessages(int maxLines, std::chrono::nanoseconds maxTime) {
  // The first few lines are always handled, so the queue drains whatever
  // the lines cost; after them the time is looked at after each line.
  const auto start = std::chrono::steady_clock::now();
  int handled = 0;
  while (handled < maxLines && handleOneIncoming()) {
    ++handled;
    if (handled >= kIncomingLinesBeforeTimeCheck &&
        std::chrono::steady_clock::now() - start >= maxTime)
      break;
  }
  return handled;
}

void handleIncomingMessage() {
  handleIncomingMessages(kIncomingLinesPerCall, kIncomingTimePerCall);
}

}  // namespace talvix
