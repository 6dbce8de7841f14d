// Not built yet: does nothing so the idle cycle runs end to end.
#include "protocol/handlers.h"
#include "weather/weather_request.h"

namespace talvix {

void handleWeatherRequest() {}
void handleAR(Packet*) {}
void handleTD(Packet*) {}
void handleCD(Packet*) {}
void handleWD(Packet*) {}

}  // namespace talvix
