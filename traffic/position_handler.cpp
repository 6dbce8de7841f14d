// Not built yet: does nothing so the idle cycle runs end to end.
#include "protocol/handlers.h"

namespace talvix {

void handleAT(Packet*) {}

}  // namespace talvix
