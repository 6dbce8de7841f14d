#include "net/queue_locks.h"

#include <memory>

#include "net/session.h"

namespace talvix {
namespace {
std::unique_ptr<platform::Lock> g_outgoing;
std::unique_ptr<platform::Lock> g_incoming;
}  // namespace

// Incoming first, then outgoing, both ways.
void CreateQueueLocks() {
  if (!g_incoming) g_incoming.reset(new platform::Lock);
  if (!g_outgoing) g_outgoing.reset(new platform::Lock);
}

void DeleteQueueLocks() {
  // The workers take these locks until they have ended.
  disconnectFromServer();
  g_incoming.reset();
  g_outgoing.reset();
}

bool QueueLocksExist() { return g_outgoing && g_incoming; }

platform::Lock& OutgoingLock() { return *g_outgoing; }
platform::Lock& IncomingLock() { return *g_incoming; }

}  // namespace talvix
