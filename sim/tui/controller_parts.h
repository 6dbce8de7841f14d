// The pieces of the controller, each in a file of its own: which window and
// control the keys go to, the popups and menus over the windows, the keys of
// the focused control and typing in a text field.
#pragma once

#include <cstdint>

#include "sim/sim.h"
#include "sim/tui/keys.h"
#include "sim/tui/view_state.h"

namespace sim::tui {

// The window in front and the control with its focus; null when none.
const Window* CurrentWindow(const ViewState& view, const HostState& state);
const Control* FocusedControl(const ViewState& view, const HostState& state);

// Where the focus goes when a window opens: its first text field, else its
// first focusable control.
std::uint32_t DefaultFocus(const Window& w);

// The popups and menus over the windows (dropdowns.cpp).
void OpenPopup(ViewState& view, const Window& w, const Control& c);
void OpenWindowMenu(ViewState& view, const HostState& state, int n);
void OpenSimMenu(ViewState& view, const HostState& state);
void HandleDropdown(const KeyAction& key, Simulator& sim, ViewState& view);

// Keys that go to the control with the focus (control_keys.cpp).
void HandleControlKey(const KeyAction& key, Simulator& sim,
                      const HostState& state, ViewState& view);

// Typing in a text field, at its cursor (field_edit.cpp).
void EditField(const KeyAction& key, Simulator& sim, ViewState& view,
               const Window& w, const Control& c);

}  // namespace sim::tui
