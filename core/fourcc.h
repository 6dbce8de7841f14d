// Four-character codes: windows, controls, menus and event kinds are 32-bit
// integers of four ASCII characters, the first in the most significant byte.
#pragma once

#include <cstdint>
#include <string>

namespace talvix {

constexpr std::uint32_t FourCC(const char (&code)[5]) {
  return (std::uint32_t(std::uint8_t(code[0])) << 24) |
         (std::uint32_t(std::uint8_t(code[1])) << 16) |
         (std::uint32_t(std::uint8_t(code[2])) << 8) |
         std::uint32_t(std::uint8_t(code[3]));
}

// Reads a code from a four-character text; shorter texts are padded with blanks.
inline std::uint32_t FourCCFromText(const std::string& text) {
  std::uint32_t value = 0;
  for (int i = 0; i < 4; ++i) {
    char c = i < int(text.size()) ? text[i] : ' ';
    value = (value << 8) | std::uint8_t(c);
  }
  return value;
}

inline std::string FourCCText(std::uint32_t code) {
  std::string text(4, ' ');
  for (int i = 0; i < 4; ++i) text[i] = char((code >> (24 - 8 * i)) & 0xFF);
  return text;
}

}  // namespace talvix
