#include "net/line_reader.h"

#include <cstring>

namespace talvix {

std::size_t LineReader::Take(const char* bytes, std::size_t count,
                             bool* ended) {
  *ended = true;
  // Every line end finishes with its LF; the CR of a pair is cut later.
  for (std::size_t i = 0; i < count; ++i) {
    if (bytes[i] == '\n') return i + 1;
  }
  *ended = false;
  return count;
}

void LineReader::append(std::size_t count, bool ended) {
  if (count > room()) count = room();
  length_ += count;
  line_[length_] = '\0';
  ended_ = ended_ || ended;
}

const char* LineReader::cutLine() {
  // A CR kept from an earlier read found its LF as a lone LF later; the cut
  // at the first pair removes both.
  char* crlf = std::strstr(line_, "\r\n");
  if (crlf != nullptr) *crlf = '\0';
  return line_;
}

void LineReader::clear() {
  std::memset(line_, 0, sizeof line_);
  length_ = 0;
  ended_ = false;
}

}  // namespace talvix
