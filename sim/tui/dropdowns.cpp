// The popups and menus that open over the windows: a popup's items, a
// window's menu, the simulator's menu bar; choosing from them.
#include "core/fourcc.h"
#include "sim/tui/controller_parts.h"

using talvix::FourCC;

namespace sim::tui {
namespace {

void Choose(Simulator& sim, ViewState& view) {
  Dropdown d = view.dropdown;
  view.dropdown = {};
  if (d.highlighted < 0 || d.highlighted >= static_cast<int>(d.choices.size()))
    return;
  const Dropdown::Choice& choice =
      d.choices[static_cast<std::size_t>(d.highlighted)];
  switch (d.kind) {
    case Dropdown::Kind::kPopup:
      sim.model().modify([&](HostState& s) {
        auto w = s.windows.find(d.window);
        if (w == s.windows.end()) return;
        if (Control* c = w->second.find(d.control)) c->selected = choice.id;
      });
      sim.windowEvent(d.window, d.control, FourCC("slct"), choice.id);
      break;
    case Dropdown::Kind::kWindowMenu:
      sim.windowEvent(d.window, d.control, FourCC("slct"), choice.id);
      break;
    case Dropdown::Kind::kSimMenu:
      sim.menuSelect(choice.menu, static_cast<std::uint32_t>(choice.id));
      break;
    case Dropdown::Kind::kNone: break;
  }
}

}  // namespace

void OpenPopup(ViewState& view, const Window& w, const Control& c) {
  Dropdown d;
  d.kind = Dropdown::Kind::kPopup;
  d.window = w.code;
  d.control = c.code;
  for (const PopupItem& item : c.items) {
    if (c.selected && item.id == *c.selected)
      d.highlighted = static_cast<int>(d.choices.size());
    d.choices.push_back({0, item.id, item.text});
  }
  if (!d.choices.empty()) view.dropdown = d;
}

void OpenWindowMenu(ViewState& view, const HostState& state, int n) {
  const Window* w = CurrentWindow(view, state);
  if (w == nullptr) return;
  for (const Control& c : w->controls) {
    if (c.kind != ControlKind::kMenu || n-- > 0) continue;
    Dropdown d;
    d.kind = Dropdown::Kind::kWindowMenu;
    d.window = w->code;
    d.control = c.code;
    for (const PopupItem& item : c.items)
      d.choices.push_back({0, item.id, item.text});
    if (!d.choices.empty()) view.dropdown = d;
    return;
  }
}

void OpenSimMenu(ViewState& view, const HostState& state) {
  Dropdown d;
  d.kind = Dropdown::Kind::kSimMenu;
  for (const Menu& m : state.menus)
    for (const MenuItem& item : m.items)
      d.choices.push_back(
          {m.code, static_cast<int>(item.code), m.title + ": " + item.text});
  if (!d.choices.empty()) view.dropdown = d;
}

void HandleDropdown(const KeyAction& key, Simulator& sim, ViewState& view) {
  Dropdown& d = view.dropdown;
  const int n = static_cast<int>(d.choices.size());
  switch (key.action) {
    case Action::kUp: d.highlighted = (d.highlighted + n - 1) % n; break;
    case Action::kDown: d.highlighted = (d.highlighted + 1) % n; break;
    case Action::kActivate:
    case Action::kToggle: Choose(sim, view); break;
    case Action::kEscape: view.dropdown = {}; break;
    default: break;
  }
}

}  // namespace sim::tui
