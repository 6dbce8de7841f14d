#include "core/text.h"

#include <cctype>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace talvix {

void CopyText(char* dst, std::size_t size, const char* src) {
  if (dst == nullptr || size == 0) return;
  if (src == nullptr) src = "";
  std::size_t length = strnlen(src, size - 1);
  std::memmove(dst, src, length);
  dst[length] = '\0';
}

static const char* SkipBlanks(const char* text) {
  while (*text == ' ' || (*text >= '\t' && *text <= '\r')) ++text;
  return text;
}

int ParseInt(const char* text) {
  if (text == nullptr) return 0;
  text = SkipBlanks(text);
  bool negative = false;
  if (*text == '+' || *text == '-') negative = (*text++ == '-');
  long long value = 0;
  while (*text >= '0' && *text <= '9') {
    value = value * 10 + (*text++ - '0');
    if (value > (long long)INT_MAX + 1) value = (long long)INT_MAX + 1;
  }
  if (negative) value = -value;
  if (value > INT_MAX) value = INT_MAX;
  return static_cast<int>(value);
}

std::uint32_t ParseUint32Wrapping(const char* text) {
  if (text == nullptr) return 0;
  text = SkipBlanks(text);
  bool negative = false;
  if (*text == '+' || *text == '-') negative = (*text++ == '-');
  std::uint32_t value = 0;
  while (*text >= '0' && *text <= '9') value = value * 10u + (*text++ - '0');
  return negative ? 0u - value : value;
}

static const char* SkipDigits(const char* text) {
  while (*text >= '0' && *text <= '9') ++text;
  return text;
}

double ParseDouble(const char* text) {
  if (text == nullptr) return 0.0;
  // Only the decimal form is taken: the library reader would also accept
  // hexadecimal numbers and the words inf and nan.
  const char* start = SkipBlanks(text);
  const char* at = start;
  if (*at == '+' || *at == '-') ++at;
  const char* digits = at;
  at = SkipDigits(at);
  bool any = at != digits;
  if (*at == '.') {
    const char* fraction = at + 1;
    const char* end = SkipDigits(fraction);
    if (any || end != fraction) at = end;
    any = any || end != fraction;
  }
  if (!any) return 0.0;
  if (*at == 'e' || *at == 'E') {
    const char* exponent = at + 1;
    if (*exponent == '+' || *exponent == '-') ++exponent;
    const char* end = SkipDigits(exponent);
    if (end != exponent) at = end;
  }
  const std::string number(start, at);
  const double value = std::strtod(number.c_str(), nullptr);
  // Too large for a double: as unreadable as any other word.
  return std::isfinite(value) ? value : 0.0;
}

std::string ToUpper(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace talvix
