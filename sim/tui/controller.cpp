#include "sim/tui/controller.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/fourcc.h"
#include "sim/geometry.h"
#include "sim/tui/layout.h"
#include "sim/tui/list_view.h"
#include "sim/tui/panel_keys.h"

using talvix::FourCC;

namespace sim::tui {
namespace {

constexpr std::size_t kMaxFieldText = 200;
template <typename T>
void KeepLast(std::vector<T>& records, std::size_t n) {
  if (records.size() > n)
    records.erase(records.begin(), records.end() - static_cast<long>(n));
}

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

void MoveInList(Simulator& sim, const Window& w, const Control& c, int step) {
  const int rows = static_cast<int>(c.rows.size());
  if (rows == 0) return;
  int row = c.selectedRow < 0 ? (step < 0 ? rows : -1) : c.selectedRow;
  row = std::clamp(row + step, 0, rows - 1);
  sim.model().listSelectRow(static_cast<int>(w.code), static_cast<int>(c.code),
                            row);
}

// Enter on a row: the list's Enter button when it has one (the choice is
// remembered for the next time the window opens), else the list's own event.
void EnterRow(Simulator& sim, ViewState& view, const Window& w,
              const Control& c) {
  if (c.selectedRow < 0 || c.selectedRow >= static_cast<int>(c.rows.size()))
    return;
  const Control* button = c.enter ? w.find(c.enter) : nullptr;
  if (button == nullptr || button->kind != ControlKind::kButton) {
    sim.windowEvent(w.code, c.code, FourCC("actn"), c.selectedRow);
    return;
  }
  view.chosenRows[ListKey(w.code, c.code)] =
      c.rows[static_cast<std::size_t>(c.selectedRow)];
  sim.windowEvent(w.code, button->code, FourCC("actn"));
}

// Typing in a text field, at its cursor.
void EditField(const KeyAction& key, Simulator& sim, ViewState& view,
               const Window& w, const Control& c) {
  const int window = static_cast<int>(w.code), code = static_cast<int>(c.code);
  const std::uint64_t field = ListKey(w.code, c.code);
  const std::size_t at = FieldCursor(view, w.code, c);
  std::string text = c.text;
  std::size_t cursor = at;
  switch (key.action) {
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

// Keys that go to the control with the focus.
void HandleControlKey(const KeyAction& key, Simulator& sim,
                      const HostState& state, ViewState& view) {
  const Window* w = CurrentWindow(view, state);
  const Control* c = FocusedControl(view, state);
  if (w == nullptr) return;
  // Paging scrolls the window's first list wherever the focus is.
  const bool paging =
      key.action == Action::kPageUp || key.action == Action::kPageDown;
  if (paging && (c == nullptr || c->kind != ControlKind::kList)) {
    for (const Control& list : w->controls)
      if (list.kind == ControlKind::kList) {
        c = &list;
        break;
      }
  }
  if (c == nullptr) return;
  const int window = static_cast<int>(w->code),
            code = static_cast<int>(c->code);
  switch (c->kind) {
    case ControlKind::kText: EditField(key, sim, view, *w, *c); break;
    case ControlKind::kButton:
      if (key.action == Action::kActivate || key.action == Action::kToggle)
        sim.windowEvent(w->code, c->code, FourCC("actn"));
      break;
    case ControlKind::kCheck:
      if (key.action == Action::kActivate || key.action == Action::kToggle) {
        const bool on = c->state == 0;
        sim.model().setButtonState(window, code, on ? 1 : 0);
        sim.windowEvent(w->code, c->code, on ? FourCC("chek") : FourCC("uchk"));
      }
      break;
    case ControlKind::kPopup:
      if (key.action == Action::kActivate || key.action == Action::kToggle ||
          key.action == Action::kDown)
        OpenPopup(view, *w, *c);
      break;
    case ControlKind::kList:
      if (key.action == Action::kUp) MoveInList(sim, *w, *c, -1);
      if (key.action == Action::kDown) MoveInList(sim, *w, *c, 1);
      if (key.action == Action::kPageUp)
        PageList(view.lists[ListKey(w->code, c->code)], -1);
      if (key.action == Action::kPageDown)
        PageList(view.lists[ListKey(w->code, c->code)], 1);
      if (key.action == Action::kActivate) EnterRow(sim, view, *w, *c);
      break;
    default: break;
  }
}

}  // namespace

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
      view.hostFocus[code] = w.focus;
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
    if (w.focus != view.hostFocus[code]) {
      view.hostFocus[code] = w.focus;
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

void Apply(const KeyAction& key, Simulator& sim, const HostState& state,
           ViewState& view) {
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
    case Action::kEscape:
      if (view.current) sim.userClose(view.current);
      break;
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
