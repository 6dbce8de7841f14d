// Gathers received bytes into lines for the receiver: a line ends after a
// CR LF pair or a lone LF, or when it holds 1023 bytes. The socket's peek
// and read fill tail() directly; the reader only decides how much to take.
#pragma once

#include <cstddef>

namespace talvix {

class LineReader {
 public:
  static constexpr std::size_t kBufferSize = 1024;  // 1023 + NUL

  LineReader() { clear(); }

  // Where the next bytes go, and how many still fit.
  char* tail() { return line_ + length_; }
  std::size_t room() const { return kBufferSize - 1 - length_; }

  // How many of count bytes (already at tail()) belong to the current line:
  // up to and including its line end, or all of them when none is there.
  // A CR that is the last byte counts as ordinary: its LF may come later.
  static std::size_t Take(const char* bytes, std::size_t count, bool* ended);

  // Counts bytes consumed into tail().
  void append(std::size_t count, bool ended);
  // Ended by a line end, or full: the rest of a long run is the next line.
  bool complete() const { return ended_ || room() == 0; }
  // The bytes gathered so far, exactly as they arrived.
  const char* bytes() const { return line_; }
  std::size_t length() const { return length_; }

  // The bytes gathered so far, with the first CR LF pair and what follows
  // it cut off; a lone LF stays.
  const char* cutLine();
  void clear();

 private:
  char line_[kBufferSize];
  std::size_t length_;
  bool ended_;
};

}  // namespace talvix
