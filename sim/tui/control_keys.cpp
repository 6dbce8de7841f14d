// The keys of the control with the focus: buttons, check boxes, popups,
// lists (moving, paging, Enter on a row) and text fields.
#include <algorithm>

#include "core/fourcc.h"
#include "sim/tui/controller_parts.h"
#include "sim/tui/list_view.h"

using talvix::FourCC;

namespace sim::tui {
namespace {

void MoveInList(Simulator& sim, const Window& w, const Control& c, int step) {
  const int rows = static_cast<int>(c.rows.size());
  if (rows == 0) return;
  int row = c.selectedRow < 0 ? (step < 0 ? rows : -1) : c.selectedRow;
  row = std::clamp(row + step, 0, rows - 1);
  sim.model().listSelectRow(static_cast<int>(w.code), static_cast<int>(c.code),
                            row);
}

// A page of the list; a selected row moves with the page.
void PageInList(Simulator& sim, ViewState& view, const Window& w,
                const Control& c, int direction) {
  ListView& shown = view.lists[ListKey(w.code, c.code)];
  const int top = shown.top;
  PageList(shown, direction);
  if (c.selectedRow < 0) return;
  const int row = PagedRow(shown, top, c.selectedRow, direction);
  if (row >= 0 && row < static_cast<int>(c.rows.size()) && row != c.selectedRow)
    sim.model().listSelectRow(static_cast<int>(w.code),
                              static_cast<int>(c.code), row);
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

}  // namespace

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
      if (paging)
        PageInList(sim, view, *w, *c, key.action == Action::kPageUp ? -1 : 1);
      if (key.action == Action::kActivate) EnterRow(sim, view, *w, *c);
      break;
    default: break;
  }
}

}  // namespace sim::tui
