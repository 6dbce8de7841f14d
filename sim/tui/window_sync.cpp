// Follows the host's windows into the view: which window is in front,
// where each window's focus is, which row of a chooser list is selected.
#include <algorithm>

#include "sim/tui/controller.h"
#include "sim/tui/controller_parts.h"
#include "sim/tui/layout.h"
#include "sim/tui/list_view.h"

namespace sim::tui {

const Window* CurrentWindow(const ViewState& view, const HostState& state) {
  auto w = state.windows.find(view.current);
  return w == state.windows.end() ? nullptr : &w->second;
}

const Control* FocusedControl(const ViewState& view, const HostState& state) {
  const Window* w = CurrentWindow(view, state);
  if (w == nullptr) return nullptr;
  auto f = view.focus.find(w->code);
  return f == view.focus.end() ? nullptr : w->find(f->second);
}

std::uint32_t DefaultFocus(const Window& w) {
  for (const Control& c : w.controls)
    if (c.kind == ControlKind::kText) return c.code;
  auto order = FocusOrder(w);
  return order.empty() ? 0 : order.front();
}

std::vector<std::uint32_t> FocusOrder(const Window& window) {
  std::vector<std::uint32_t> order;
  for (const Control& c : window.controls)
    if (IsFocusable(c.kind)) order.push_back(c.code);
  return order;
}

void SyncWindows(ViewState& view, const HostState& state) {
  auto& order = view.order;
  order.erase(
      std::remove_if(order.begin(), order.end(),
                     [&](std::uint32_t w) { return !state.windows.count(w); }),
      order.end());
  // Of windows that open together, the first comes to the front.
  bool opened = false;
  for (const auto& [code, w] : state.windows) {
    if (std::find(order.begin(), order.end(), code) == order.end()) {
      order.push_back(code);
      if (!opened) view.current = code;
      opened = true;
      view.raises[code] = w.raises;
      view.focusSets[code] = w.focusSets;
      view.focus[code] = w.focus ? w.focus : DefaultFocus(w);
      // A window opens at the top of its lists.
      for (const Control& c : w.controls)
        view.lists.erase(ListKey(code, c.code));
      continue;
    }
    if (w.raises != view.raises[code]) {
      view.raises[code] = w.raises;
      view.current = code;
    }
    // Every call counts, also one to the control that had the focus
    // before the person moved it.
    if (w.focusSets != view.focusSets[code]) {
      view.focusSets[code] = w.focusSets;
      if (w.focus) view.focus[code] = w.focus;
    }
  }
  if (!state.windows.count(view.current))
    view.current = order.empty() ? 0 : order.back();
  if (view.dropdown.kind == Dropdown::Kind::kPopup ||
      view.dropdown.kind == Dropdown::Kind::kWindowMenu) {
    if (!state.windows.count(view.dropdown.window)) view.dropdown = {};
  }
}

void SelectChoices(Simulator& sim, const HostState& state, ViewState& view) {
  for (const auto& [code, w] : state.windows)
    for (const Control& c : w.controls) {
      if (c.kind != ControlKind::kList || !c.enter || c.rows.empty() ||
          c.selectedRow >= 0)
        continue;
      int row = 0;
      auto chosen = view.chosenRows.find(ListKey(code, c.code));
      if (chosen != view.chosenRows.end()) {
        auto same = std::find(c.rows.begin(), c.rows.end(), chosen->second);
        if (same != c.rows.end()) row = static_cast<int>(same - c.rows.begin());
      }
      sim.model().listSelectRow(static_cast<int>(code),
                                static_cast<int>(c.code), row);
    }
}

}  // namespace sim::tui
