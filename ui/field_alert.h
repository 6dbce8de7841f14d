// A refusal shown where the user is typing: the host's alert with the
// reason, and the field at fault holding the focus once the alert is
// closed, ready to be mended.
#pragma once

#include <cstdint>
#include <string>

namespace talvix {

// Why a window's fields were refused, and the control at fault; no text
// when nothing was.
struct FieldRefusal {
  std::string text;
  std::uint32_t field = 0;

  bool refused() const { return !text.empty(); }
};

void AlertAtField(std::uint32_t window, const FieldRefusal& refusal);

}  // namespace talvix
