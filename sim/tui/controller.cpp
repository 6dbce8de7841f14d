// One key of the person: the front end's own keys (quit, redraw, windows,
// menus, focus, Esc), an alert or a panel prompt that takes every key, and
// the rest handed to the focused control.
#include "sim/tui/controller.h"

#include <algorithm>

#include "sim/tui/controller_parts.h"
#include "sim/tui/panel_keys.h"

namespace sim::tui {
namespace {

template <typename T>
void KeepLast(std::vector<T>& records, std::size_t n) {
  if (records.size() > n)
    records.erase(records.begin(), records.end() - static_cast<long>(n));
}

void MoveFocus(ViewState& view, const HostState& state, int step) {
  const Window* w = CurrentWindow(view, state);
  if (w == nullptr) return;
  auto order = FocusOrder(*w);
  if (order.empty()) return;
  auto at = std::find(order.begin(), order.end(), view.focus[w->code]);
  long i = at == order.end() ? 0 : at - order.begin();
  const long n = static_cast<long>(order.size());
  view.focus[w->code] =
      order[static_cast<std::size_t>(((i + step) % n + n) % n)];
}

// Esc closes a dialog. A window with menus of its own (the plug-in's main
// window) stays: it closes from its menu, as the plug-in offers.
void CloseFrontWindow(Simulator& sim, const HostState& state, ViewState& view) {
  const Window* w = CurrentWindow(view, state);
  if (w == nullptr) return;
  for (const Control& c : w->controls)
    if (c.kind == ControlKind::kMenu) {
      view.status = kMenuWindowStays;
      return;
    }
  sim.userClose(w->code);
}

}  // namespace

const char* const kMenuWindowStays = "Esc: this window closes from its menu";

bool KeyWorksWhenTooSmall(Action action) {
  return action == Action::kQuit || action == Action::kResize ||
         action == Action::kRedraw;
}

void Apply(const KeyAction& key, Simulator& sim, const HostState& state,
           ViewState& view) {
  if (view.tooSmall && !KeyWorksWhenTooSmall(key.action)) return;
  view.status.clear();
  if (key.action == Action::kQuit) {
    view.quit = true;
    return;
  }
  if (key.action == Action::kResize || key.action == Action::kRedraw) {
    view.redraw = true;
    return;
  }
  if (!view.alerts.empty()) {
    if (key.action == Action::kActivate || key.action == Action::kEscape ||
        key.action == Action::kToggle)
      view.alerts.pop_front();
    return;
  }
  if (view.prompt.kind != Prompt::Kind::kNone) {
    HandlePrompt(key, sim, view);
    return;
  }
  if (view.dropdown.kind != Dropdown::Kind::kNone &&
      key.action != Action::kMenu && key.action != Action::kSimMenu) {
    HandleDropdown(key, sim, view);
    return;
  }
  if (ApplyPanelKey(key, sim, view)) return;
  switch (key.action) {
    case Action::kNextWindow:
      if (!view.order.empty()) {
        auto at = std::find(view.order.begin(), view.order.end(), view.current);
        view.current = (at == view.order.end() || at + 1 == view.order.end())
                           ? view.order.front()
                           : *(at + 1);
      }
      break;
    case Action::kMenu: OpenWindowMenu(view, state, key.arg); break;
    case Action::kSimMenu: OpenSimMenu(view, state); break;
    case Action::kNextControl: MoveFocus(view, state, 1); break;
    case Action::kPrevControl: MoveFocus(view, state, -1); break;
    case Action::kEscape: CloseFrontWindow(sim, state, view); break;
    default: HandleControlKey(key, sim, state, view); break;
  }
}

void BoundRecords(HostState& state, ViewState& view) {
  for (std::string& alert : state.alerts)
    view.alerts.push_back(std::move(alert));
  state.alerts.clear();
  while (view.alerts.size() > 20) view.alerts.pop_front();
  KeepLast(state.notices, 32);
  KeepLast(state.sounds, 32);
  KeepLast(state.faults, 100);
  KeepLast(state.failedCreates, 32);
  KeepLast(state.libraries, 32);
}

}  // namespace sim::tui
