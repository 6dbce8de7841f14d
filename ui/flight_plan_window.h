// The flight plan window 'txFP': filled from the stored plan and the
// simulator, stored and filed by OK, and the aircraft button.
#pragma once

#include <cstdint>

#include "ui/flight_plan.h"

namespace talvix {

// Right after the main window's ATC menu has created 'txFP'.
void FillFlightPlanWindow();
// Every event of 'txFP'; only 'actn' of 'acBn', 'okBn' and 'cnBn' acts.
void OnFlightPlanWindowEvent(std::uint32_t control, std::uint32_t event);
// Shows the chosen aircraft's description in 'type' and its model in 'acID'.
void ShowAircraftChoice();
// The flight plan window's copy of the plug-in signature.
void SetFlightPlanSignature(int signature);

}  // namespace talvix
