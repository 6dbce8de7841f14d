// Not built yet: does nothing so the idle cycle runs end to end.
#include "traffic/traffic_table.h"

namespace talvix {

void RemoveAllTraffic() {}
void AgeTraffic() {}

}  // namespace talvix
