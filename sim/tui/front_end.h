// simhost --tui: the stand-in simulator as a full-screen terminal program.
// The person sees the plug-in's windows, the simulator's panel and a
// traffic scope, and works them with the keys; the aircraft flies itself.
#pragma once

#include <csignal>

#include "sim/sim.h"

namespace sim::tui {

// Runs until the person quits or stop becomes non-zero; the plug-in is then
// disconnected (through its own menu, as a person would) but left loaded.
int RunFrontEnd(Simulator& sim, const volatile std::sig_atomic_t& stop);

}  // namespace sim::tui
