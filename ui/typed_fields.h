// Text the user types that becomes a field of a protocol line. Fields are
// joined with ":" and lines end at CR LF, so a ":" would split the field in
// two and a control character could end or garble the line: neither may
// pass. A callsign is held to the characters every network accepts.
#pragma once

#include <cstddef>
#include <string>

namespace talvix {

// The most characters the connection record holds for a callsign.
constexpr std::size_t kCallsignMaxLength = 14;

// Said when a callsign breaks the rule below.
constexpr char kCallsignRule[] =
    "Callsign must be 1 to 14 letters, digits, _ or -.";

// 1 to 14 characters, each an ASCII letter, a digit, "_" or "-".
bool IsValidCallsign(const char* text);

// No ":" and no control character (below 32, and 127).
bool IsSafeField(const char* text);
inline bool IsSafeField(const std::string& text) {
  return IsSafeField(text.c_str());
}

// The line that refuses a field: its name, then
// " may not contain ":" or control characters.".
std::string UnsafeFieldLine(const char* name);

// A message text, the last field of its line, may keep its ":" but no
// control character either. Bytes from 128 on (Latin-1) pass.
bool IsSafeText(const std::string& text);
// The line that refuses one: its name, then
// " may not contain control characters.".
std::string UnsafeTextLine(const char* name);

}  // namespace talvix
