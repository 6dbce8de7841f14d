// Draws the front end on the curses screen from the host's state and the
// view; the only part that writes to the terminal.
#pragma once

#include <string>
#include <vector>

#include "sim/host_model.h"
#include "sim/tui/scope.h"
#include "sim/tui/view_state.h"

namespace sim::tui {

void DrawScreen(const HostState& state, const std::vector<ScopeTarget>& traffic,
                ViewState& view, const std::string& root);

}  // namespace sim::tui
