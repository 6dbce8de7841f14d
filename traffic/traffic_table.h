// Other pilots as simulator AI aircraft.
#pragma once

namespace talvix {

// Removes every pilot, its popup item and its simulator object. Also the
// plug-in's clean-up callback.
void RemoveAllTraffic();
// One five-second tick: pilots silent for eight ticks are removed.
void AgeTraffic();

}  // namespace talvix
