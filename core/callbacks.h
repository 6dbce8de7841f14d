// The callbacks the plug-in registers with the simulator in DLLInit. Each
// one catches everything: no failure inside the plug-in reaches the host.
#pragma once

#include "core/host_services.h"

namespace talvix {

void TALVIX_CALL EmptyCallbackFn();
void TALVIX_CALL CleanUpCallbackFn();
void TALVIX_CALL IdleCallbackFn(float elapsedSeconds);
void TALVIX_CALL KeyCallbackFn(int keyCode, int modifierCode);
void TALVIX_CALL WindowEventCallbackFn(int signature, int window, int control,
                                       int event, int extra);
int TALVIX_CALL MenuSetUpCallbackFn();

// The key that opens the main window: code 68 with modifier 3.
constexpr int kOpenWindowKey = 68;
constexpr int kOpenWindowModifier = 3;

}  // namespace talvix
