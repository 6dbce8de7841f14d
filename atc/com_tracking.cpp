// Not built yet: does nothing so the idle cycle runs end to end.
#include "atc/com_tracking.h"

namespace talvix {

namespace {
AtcStation g_tuned{};
}
void SwitchToStation(const AtcStation*, bool) {}
const AtcStation& TunedStation() { return g_tuned; }
bool AtisRequested() { return false; }
void ClearAtisRequested() {}
float ReadComFrequency() { return 0.0f; }
void ComFrequencyText(char out[6]) { out[0] = '\0'; }
void TuneCom(float) {}
float RoundToTwoDecimals(float value) { return value; }

}  // namespace talvix
