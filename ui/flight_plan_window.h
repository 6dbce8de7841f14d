// The flight plan window 'txFP'.
#pragma once

#include <cstdint>

namespace talvix {

void FillFlightPlanWindow();
void OnFlightPlanWindowEvent(std::uint32_t control, std::uint32_t event);
void SendFlightPlan();
void ShowAircraftChoice();
// The flight plan window's copy of the plug-in signature.
void SetFlightPlanSignature(int signature);

}  // namespace talvix
