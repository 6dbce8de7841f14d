// Reads console commands from a file descriptor (standard input) on a
// thread of its own, without ever blocking a stop.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace netserver {

class StdinReader {
 public:
  using LineHandler = std::function<void(const std::string&)>;
  using EndHandler = std::function<void()>;

  // Both handlers run on the reader's thread.
  StdinReader(int fd, LineHandler onLine, EndHandler onEnd);
  ~StdinReader();  // stops and joins

  void start();
  void stop();

 private:
  void run();

  int fd_;
  LineHandler onLine_;
  EndHandler onEnd_;
  std::atomic<bool> stopRequested_{false};
  std::thread thread_;
};

}  // namespace netserver
