#include "net/worker_stop.h"

namespace talvix {

void WorkerStop::request() {
  {
    std::lock_guard<std::mutex> hold(mutex_);
    stop_ = true;
  }
  wake_.notify_all();
}

bool WorkerStop::requested() const {
  std::lock_guard<std::mutex> hold(mutex_);
  return stop_;
}

bool WorkerStop::pause(int milliseconds) {
  std::unique_lock<std::mutex> hold(mutex_);
  return wake_.wait_for(hold, std::chrono::milliseconds(milliseconds),
                        [this] { return stop_; });
}

}  // namespace talvix
