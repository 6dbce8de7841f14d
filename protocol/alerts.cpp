// Not built yet: does nothing so the idle cycle runs end to end.
#include "protocol/alerts.h"

namespace talvix {

void PlayAttention() {}
void AlertUser() {}

}  // namespace talvix
