// The outgoing and incoming locks: one for each queue of the session. They
// live from DLLInit to DLLKill and are never held together by one thread.
#pragma once

#include "platform/platform.h"

namespace talvix {

// Valid between CreateQueueLocks and DeleteQueueLocks (net/session.h).
platform::Lock& OutgoingLock();
platform::Lock& IncomingLock();
bool QueueLocksExist();

}  // namespace talvix
