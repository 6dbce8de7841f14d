// The two queue locks are made and ended in one order: incoming first, then
// outgoing, both at load (DLLInit) and at unload (DLLKill).
#include "net/queue_locks.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "net/session.h"
#include "platform/platform.h"

namespace talvix {
namespace {

using Event = std::pair<const platform::Lock*, bool>;
std::vector<Event> g_events;

TEST(QueueLocks, IncomingIsMadeAndEndedBeforeOutgoing) {
  DeleteQueueLocks();
  platform::WatchLocks([](const platform::Lock* lock, bool created) {
    g_events.emplace_back(lock, created);
  });
  CreateQueueLocks();
  const platform::Lock* incoming = &IncomingLock();
  const platform::Lock* outgoing = &OutgoingLock();
  DeleteQueueLocks();
  platform::WatchLocks(nullptr);
  EXPECT_EQ(g_events, (std::vector<Event>{{incoming, true},
                                          {outgoing, true},
                                          {incoming, false},
                                          {outgoing, false}}));
}

}  // namespace
}  // namespace talvix
