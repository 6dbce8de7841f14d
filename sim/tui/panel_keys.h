// The keys of the simulator's own panel: what the aircraft is to do, the
// COM 1 dial, the transponder, values typed on the panel, the scope's range.
#pragma once

#include <string>

#include "sim/sim.h"
#include "sim/tui/keys.h"
#include "sim/tui/view_state.h"

namespace sim::tui {

// False when the key is not one of the panel's.
bool ApplyPanelKey(const KeyAction& key, Simulator& sim, ViewState& view);

// A key while a value is being typed on the panel.
void HandlePrompt(const KeyAction& key, Simulator& sim, ViewState& view);

// The prompt's line on the panel, with its keys; at its longest it fits the
// narrowest panel.
std::string PromptLine(const Prompt& prompt);

}  // namespace sim::tui
