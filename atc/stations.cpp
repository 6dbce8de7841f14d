// Not built yet: does nothing so the idle cycle runs end to end.
#include "atc/stations.h"
#include "protocol/handlers.h"

namespace talvix {

AtcStation* FindStation(const char*) { return nullptr; }
AtcStation* FindStationByFrequency(float) { return nullptr; }
void ExpireStations() {}
void ClearStations() {}
void RefreshAtcWindow() {}
void OnAtcWindowEvent(std::uint32_t, std::uint32_t) {}
void handlePERCENT(Packet*) {}
void handleDA(Packet*) {}

}  // namespace talvix
