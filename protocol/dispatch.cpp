// Not built yet: does nothing so the idle cycle runs end to end.
#include "protocol/dispatch.h"

namespace talvix {

void handleIncomingMessage() {}

}  // namespace talvix
