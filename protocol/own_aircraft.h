// The user's own aircraft: read from the simulator on every idle call while
// connected, and reported to the server every five seconds.
#pragma once

#include "core/host_services.h"

namespace talvix {

void UpdateFlyParameters();
void handlePositionUpdate();

// The position as the simulator last gave it (arc-seconds, feet).
const HostPosition& OwnRawPosition();
// The transponder mode index: 0 "Off", 1 "Standby", 2 "Mode A", 3 "Mode C".
int TransponderModeIndex();

}  // namespace talvix
