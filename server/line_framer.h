// Cuts a TCP byte stream into protocol lines.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace netserver {

// A line ends at CR LF or at a lone LF; both are removed. A run of
// kMaxLineLength bytes without a line end is handed on as one piece and the
// bytes after it start the next line, the same cut the plug-in makes. Empty
// lines are dropped. A CR at the end of one read that is followed by LF at
// the start of the next still ends the line.
class LineFramer {
 public:
  static constexpr std::size_t kMaxLineLength = 1023;
  using LineHandler = std::function<void(const std::string&)>;

  void feed(const char* data, std::size_t size, const LineHandler& onLine);

 private:
  void append(char byte, const LineHandler& onLine);
  void finish(const LineHandler& onLine);

  std::string current_;
  bool pendingCr_ = false;
};

}  // namespace netserver
