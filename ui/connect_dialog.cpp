// Not built yet: does nothing so the idle cycle runs end to end.
#include "ui/connect_dialog.h"

namespace talvix {

void FillConnectDialog() {}

}  // namespace talvix
