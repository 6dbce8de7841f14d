// The user's own aircraft choice, from the aircraft window 'txAC'.
#pragma once

#include <cstdint>

namespace talvix {

void LoadAircraftList();
void OnAircraftWindowEvent(std::uint32_t control, std::uint32_t event);
// The chosen model code announced to others; empty until one is chosen.
const char* ChosenCsl();
const char* ChosenDescription();
const char* ChosenModel();
// The engine digit: "0" piston, "1" jet (and default), "3" turboprop.
const char* EngineCode();

}  // namespace talvix
