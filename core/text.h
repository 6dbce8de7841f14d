// Small text helpers shared by every part: cutting copies into fixed
// buffers, reading numbers the way the standard atoi does, upper case.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace talvix {

// Copies src into dst of size bytes, cut to fit, always terminated.
void CopyText(char* dst, std::size_t size, const char* src);
template <std::size_t N>
void CopyText(char (&dst)[N], const char* src) {
  CopyText(dst, N, src);
}
template <std::size_t N>
void CopyText(char (&dst)[N], const std::string& src) {
  CopyText(dst, N, src.c_str());
}

// Optional blanks and sign, then leading digits; no digits give 0. Values
// past the int range saturate instead of overflowing.
int ParseInt(const char* text);
inline int ParseInt(const std::string& text) { return ParseInt(text.c_str()); }

// Digits accumulate with 32-bit wrap-around, so every unsigned 32-bit value
// written in decimal reads back unchanged.
std::uint32_t ParseUint32Wrapping(const char* text);

// The longest valid leading decimal number after optional blanks (sign,
// digits, fraction, exponent); 0 if none, and 0 for a value too large to
// hold. Hexadecimal and the words inf and nan read as 0.
double ParseDouble(const char* text);

std::string ToUpper(std::string text);

}  // namespace talvix
