// Not built yet: does nothing so the idle cycle runs end to end.
#include "ui/flight_plan_window.h"

namespace talvix {

void FillFlightPlanWindow() {}
void OnFlightPlanWindowEvent(std::uint32_t, std::uint32_t) {}
void SendFlightPlan() {}
void ShowAircraftChoice() {}
void SetFlightPlanSignature(int) {}

}  // namespace talvix
