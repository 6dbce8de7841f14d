// Reading the parts of one protocol line: prefix, fields, sender, addressee.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace netserver {

// Splits at every ':'; empty fields are kept, so "A::B" gives three fields
// and "" gives one empty field.
std::vector<std::string> splitFields(const std::string& text);

// One received line taken apart. "#xx"/"$xx" lines have a three-character
// prefix, "@" and "%" lines a one-character one; anything else has no prefix.
struct WireLine {
  std::string prefix;
  std::vector<std::string> fields;  // the payload after the prefix, split

  // The sender's callsign: field 2 of "@" lines (after the mode letter),
  // field 1 of every other kind.
  std::optional<std::string> sender() const;
  // Field 2 of "#" and "$" lines: the callsign or "*", "*P", "@freq&...".
  std::optional<std::string> addressee() const;
  std::optional<std::string> field(std::size_t index) const;
};

// Returns nothing for a line that does not start with '#', '$', '@' or '%'
// (or a "#"/"$" line shorter than its prefix).
std::optional<WireLine> parseWireLine(const std::string& line);

// Non-printable bytes as \xNN, so any received line can go to a log line.
std::string printable(const std::string& bytes);

}  // namespace netserver
