// The server's event lines on standard output, one event a line, flushed at
// once so that a test or a script can wait for them.
#pragma once

#include <functional>
#include <string>

namespace netserver {

class EventLog {
 public:
  using Sink = std::function<void(const std::string&)>;

  EventLog();  // writes to stdout
  explicit EventLog(Sink sink);

  void event(const std::string& line) const;

 private:
  Sink sink_;
};

}  // namespace netserver
