// Turns the person's keys into the host's events: window events to the
// plug-in, values in the host's model, and changes of the view.
#pragma once

#include "sim/sim.h"
#include "sim/tui/keys.h"
#include "sim/tui/view_state.h"

namespace sim::tui {

// Follows the host's windows: a window that opens comes to the front, one
// the plug-in raised or focused too; closed ones leave the view.
void SyncWindows(ViewState& view, const HostState& state);

// A list with an Enter button always has a row selected while it has rows:
// the one the person chose last time, found by its cells, or the first.
void SelectChoices(Simulator& sim, const HostState& state, ViewState& view);

// The focusable controls of a window, in file order.
std::vector<std::uint32_t> FocusOrder(const Window& window);

// One key. state is the host's state as last drawn. While the terminal is
// too small to draw the windows only the keys KeyWorksWhenTooSmall names do
// anything.
bool KeyWorksWhenTooSmall(Action action);
void Apply(const KeyAction& key, Simulator& sim, const HostState& state,
           ViewState& view);

// What Esc says in a window that closes from its own menu.
extern const char* const kMenuWindowStays;

// Keeps the host's records from growing without end in a long session;
// alerts move into the view, which shows them.
void BoundRecords(HostState& state, ViewState& view);

}  // namespace sim::tui
