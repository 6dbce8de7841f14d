// Not built yet: does nothing so the idle cycle runs end to end.
#include "ui/command_line.h"

namespace talvix {

void RunCommandLine() {}

}  // namespace talvix
