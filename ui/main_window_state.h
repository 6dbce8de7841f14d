// The main window's own state, shared by the files of the main window.
#pragma once

#include <cstdint>

namespace talvix {

struct MainWindowState {
  int signature = 0;       // copied from the plug-in signature on each open
  bool open = false;       // set once the plug-in created the window
  bool helpToggle = true;  // flipped by the help menu's 'txhm'
};

MainWindowState& MainWindow();

// Opens a window of the plug-in unless the host reports it open already.
// True when it was created now.
bool OpenWindowOnce(std::uint32_t window, const char* file);

}  // namespace talvix
