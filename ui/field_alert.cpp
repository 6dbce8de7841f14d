#include "ui/field_alert.h"

#include "core/host.h"

namespace talvix {

// The host's alert is modal: the focus set after it lands when it closes.
void AlertAtField(std::uint32_t window, const FieldRefusal& refusal) {
  host::Alert(refusal.text.c_str());
  host::SetFocus(window, refusal.field);
}

}  // namespace talvix
