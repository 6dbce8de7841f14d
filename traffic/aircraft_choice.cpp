// Not built yet: does nothing so the idle cycle runs end to end.
#include "traffic/aircraft_choice.h"

namespace talvix {

void LoadAircraftList() {}
void OnAircraftWindowEvent(std::uint32_t, std::uint32_t) {}
const char* ChosenCsl() { return ""; }
const char* ChosenDescription() { return ""; }
const char* ChosenModel() { return ""; }
const char* EngineCode() { return "1"; }

}  // namespace talvix
