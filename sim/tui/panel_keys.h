// The keys of the simulator's own panel: what the aircraft is to do, the
// COM 1 dial, the transponder, values typed on the panel, the scope's range.
#pragma once

#include "sim/sim.h"
#include "sim/tui/keys.h"
#include "sim/tui/view_state.h"

namespace sim::tui {

// False when the key is not one of the panel's.
bool ApplyPanelKey(const KeyAction& key, Simulator& sim, ViewState& view);

// A key while a value is being typed on the panel.
void HandlePrompt(const KeyAction& key, Simulator& sim, ViewState& view);

}  // namespace sim::tui
