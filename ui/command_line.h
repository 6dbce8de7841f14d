// The command line 'text' of the main window.
#pragma once

namespace talvix {

void RunCommandLine();

}  // namespace talvix
