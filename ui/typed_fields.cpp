#include "ui/typed_fields.h"

namespace talvix {
namespace {

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

bool IsCallsignCharacter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
         (c >= '0' && c <= '9') || c == '_' || c == '-';
}

}  // namespace

bool IsValidCallsign(const char* text) {
  std::size_t length = 0;
  for (; text[length] != '\0'; ++length) {
    if (length == kCallsignMaxLength || !IsCallsignCharacter(text[length]))
      return false;
  }
  return length > 0;
}

bool IsSafeField(const char* text) {
  for (; *text != '\0'; ++text) {
    if (*text == ':' || IsControl(static_cast<unsigned char>(*text)))
      return false;
  }
  return true;
}

std::string UnsafeFieldLine(const char* name) {
  return std::string(name) + " may not contain \":\" or control characters.";
}

bool IsSafeText(const std::string& text) {
  for (const char c : text) {
    if (IsControl(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::string UnsafeTextLine(const char* name) {
  return std::string(name) + " may not contain control characters.";
}

}  // namespace talvix
