// Not built yet: does nothing so the idle cycle runs end to end.
#include "protocol/handlers.h"

namespace talvix {

void handleER(Packet*) {}
void handlePI(Packet*) {}
void handlePO(Packet*) {}
void handleKILL(Packet*) {}

}  // namespace talvix
