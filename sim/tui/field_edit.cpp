// Typing in a text field of the plug-in, at its cursor.
#include <algorithm>
#include <cstdio>
#include <string>

#include "core/fourcc.h"
#include "sim/tui/controller_parts.h"
#include "sim/tui/list_view.h"

using talvix::FourCC;

namespace sim::tui {
namespace {

constexpr std::size_t kMaxFieldText = 200;

}  // namespace

void EditField(const KeyAction& key, Simulator& sim, ViewState& view,
               const Window& w, const Control& c) {
  const int window = static_cast<int>(w.code), code = static_cast<int>(c.code);
  const std::uint64_t field = ListKey(w.code, c.code);
  const std::size_t at = FieldCursor(view, w.code, c);
  std::string text = c.text;
  std::size_t cursor = at;
  switch (key.action) {
    case Action::kUntypable: {
      // Said plainly rather than dropped: the field holds Latin-1 bytes.
      char name[16];
      std::snprintf(name, sizeof name, "U+%04X",
                    static_cast<unsigned>(key.arg));
      view.status = std::string(name) + " has no Latin-1 form: not typed";
      return;
    }
    case Action::kType:
    case Action::kToggle:
      if (text.size() >= kMaxFieldText) return;
      text.insert(at, 1, static_cast<char>(key.arg));
      cursor = at + 1;
      break;
    case Action::kBackspace:
      if (at == 0) return;
      text.erase(at - 1, 1);
      cursor = at - 1;
      break;
    case Action::kClearField:
      text.clear();
      cursor = 0;
      break;
    case Action::kLeft: cursor = at == 0 ? 0 : at - 1; break;
    case Action::kRight: cursor = std::min(text.size(), at + 1); break;
    case Action::kActivate:
      sim.windowEvent(w.code, c.code, FourCC("tent"));
      return;
    default: return;
  }
  // At the end the cursor follows the text, whoever changes it.
  if (cursor >= text.size()) {
    view.cursors.erase(field);
  } else {
    view.cursors[field] = cursor;
  }
  if (text != c.text) sim.model().setText(window, code, text.c_str());
}

}  // namespace sim::tui
