#include "server/wire_line.h"

#include <cstdio>

namespace netserver {

std::vector<std::string> splitFields(const std::string& text) {
  std::vector<std::string> fields;
  std::string::size_type start = 0;
  for (;;) {
    const auto colon = text.find(':', start);
    if (colon == std::string::npos) {
      fields.push_back(text.substr(start));
      return fields;
    }
    fields.push_back(text.substr(start, colon - start));
    start = colon + 1;
  }
}

std::optional<std::string> WireLine::field(std::size_t index) const {
  if (index >= fields.size()) return std::nullopt;
  return fields[index];
}

std::optional<std::string> WireLine::sender() const {
  return field(prefix == "@" ? 1 : 0);
}

std::optional<std::string> WireLine::addressee() const {
  if (prefix.size() != 3) return std::nullopt;
  return field(1);
}

std::optional<WireLine> parseWireLine(const std::string& line) {
  if (line.empty()) return std::nullopt;
  std::size_t prefixLength = 0;
  switch (line[0]) {
    case '@':
    case '%': prefixLength = 1; break;
    case '#':
    case '$': prefixLength = 3; break;
    default: return std::nullopt;
  }
  if (line.size() < prefixLength) return std::nullopt;
  WireLine parsed;
  parsed.prefix = line.substr(0, prefixLength);
  parsed.fields = splitFields(line.substr(prefixLength));
  return parsed;
}

std::string printable(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size());
  for (const char c : bytes) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 0x20 && u < 0x7f && u != '\\') {
      out.push_back(c);
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", u);
      out += escaped;
    }
  }
  return out;
}

}  // namespace netserver
