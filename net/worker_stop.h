// The cooperative stop of a worker thread: a flag that the owner sets and a
// pause that the flag cuts short, so a worker sees a stop request within one
// pause and never while it holds a lock.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace talvix {

class WorkerStop {
 public:
  WorkerStop() = default;
  WorkerStop(const WorkerStop&) = delete;
  WorkerStop& operator=(const WorkerStop&) = delete;

  // Sets the flag and wakes a pause in progress.
  void request();
  bool requested() const;
  // Waits up to milliseconds; true when a stop was requested (at once if it
  // already was).
  bool pause(int milliseconds);

 private:
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
};

}  // namespace talvix
