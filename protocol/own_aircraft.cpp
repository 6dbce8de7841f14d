// Not built yet: does nothing so the idle cycle runs end to end.
#include "protocol/own_aircraft.h"

namespace talvix {

namespace {
HostPosition g_raw{};
}
void UpdateFlyParameters() {}
void handlePositionUpdate() {}
const HostPosition& OwnRawPosition() { return g_raw; }
int TransponderModeIndex() { return 0; }

}  // namespace talvix
