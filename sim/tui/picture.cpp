#include "sim/tui/picture.h"

#include <cctype>

namespace sim::tui {
namespace {

constexpr int kLargest = 4096;

// Skips blanks and # comments; false at the end.
bool SkipSpace(const std::string& s, std::size_t& at) {
  while (at < s.size()) {
    if (s[at] == '#') {
      while (at < s.size() && s[at] != '\n') ++at;
    } else if (std::isspace(static_cast<unsigned char>(s[at]))) {
      ++at;
    } else {
      return true;
    }
  }
  return false;
}

bool ReadNumber(const std::string& s, std::size_t& at, int* value) {
  if (!SkipSpace(s, at) || !std::isdigit(static_cast<unsigned char>(s[at])))
    return false;
  long v = 0;
  while (at < s.size() && std::isdigit(static_cast<unsigned char>(s[at]))) {
    v = v * 10 + (s[at++] - '0');
    if (v > kLargest) return false;
  }
  *value = static_cast<int>(v);
  return true;
}

}  // namespace

bool ParsePbm(const std::string& s, Bitmap* out) {
  if (s.size() < 2 || s[0] != 'P' || (s[1] != '1' && s[1] != '4')) return false;
  std::size_t at = 2;
  Bitmap b;
  if (!ReadNumber(s, at, &b.width) || !ReadNumber(s, at, &b.height) ||
      b.width <= 0 || b.height <= 0)
    return false;
  b.ink.assign(static_cast<std::size_t>(b.width) * b.height, false);
  if (s[1] == '1') {
    for (std::size_t i = 0; i < b.ink.size(); ++i) {
      if (!SkipSpace(s, at) || (s[at] != '0' && s[at] != '1')) return false;
      b.ink[i] = s[at++] == '1';
    }
  } else {
    ++at;  // the one blank after the height
    const std::size_t rowBytes = static_cast<std::size_t>((b.width + 7) / 8);
    if (s.size() < at + rowBytes * b.height) return false;
    for (int y = 0; y < b.height; ++y)
      for (int x = 0; x < b.width; ++x)
        b.ink[static_cast<std::size_t>(y * b.width + x)] =
            (static_cast<unsigned char>(s[at + y * rowBytes + x / 8]) >>
             (7 - x % 8)) &
            1;
  }
  *out = std::move(b);
  return true;
}

}  // namespace sim::tui
