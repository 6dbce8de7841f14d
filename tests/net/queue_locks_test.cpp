// The two queue locks are made and ended in one order: incoming first, then
// outgoing, both at load (DLLInit) and at unload (DLLKill). The workers' stop
// request wakes their pause.
#include "net/queue_locks.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <utility>
#include <vector>

#include "net/session.h"
#include "net/worker_stop.h"
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

// A stop request ends a pause at once, however long it was to be; a pause
// without one lasts its time and says so.
TEST(WorkerStop, ARequestEndsAPauseAtOnce) {
  WorkerStop quiet;
  EXPECT_FALSE(quiet.pause(1));
  WorkerStop stop;
  bool stopped = false;
  std::thread worker([&] { stopped = stop.pause(600000); });
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  stop.request();
  worker.join();
  EXPECT_TRUE(stopped);
  EXPECT_TRUE(stop.requested());
  EXPECT_TRUE(stop.pause(600000));  // once asked, every pause ends at once
}

}  // namespace
}  // namespace talvix
