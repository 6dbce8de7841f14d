#include "server/line_framer.h"

namespace netserver {

void LineFramer::feed(const char* data, std::size_t size,
                      const LineHandler& onLine) {
  for (std::size_t i = 0; i < size; ++i) {
    const char byte = data[i];
    if (pendingCr_) {
      pendingCr_ = false;
      if (byte == '\n') {
        finish(onLine);
        continue;
      }
      append('\r', onLine);  // a CR not followed by LF is an ordinary byte
    }
    if (byte == '\r') {
      pendingCr_ = true;
    } else if (byte == '\n') {
      finish(onLine);
    } else {
      append(byte, onLine);
    }
  }
}

void LineFramer::append(char byte, const LineHandler& onLine) {
  current_.push_back(byte);
  if (current_.size() >= kMaxLineLength) finish(onLine);
}

void LineFramer::finish(const LineHandler& onLine) {
  if (current_.empty()) return;
  std::string line;
  line.swap(current_);
  onLine(line);
}

}  // namespace netserver
