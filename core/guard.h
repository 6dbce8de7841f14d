// Runs one step inside a catch-all guard: when anything inside fails, the
// guard posts its fixed line to the message history and the caller goes on.
// Nothing thrown inside the plug-in ever reaches the simulator.
#pragma once

#include "ui/history.h"

namespace talvix {

template <typename Step>
bool RunGuarded(const char* guardLine, Step&& step) {
  try {
    step();
    return true;
  } catch (...) {
    try {
      AddHistoryLine(guardLine);
    } catch (...) {
    }
    return false;
  }
}

}  // namespace talvix
