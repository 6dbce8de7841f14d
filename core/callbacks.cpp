#include "core/callbacks.h"

#include "core/fourcc.h"
#include "core/guard.h"
#include "core/host.h"
#include "core/idle_cycle.h"
#include "traffic/traffic_table.h"
#include "ui/main_window.h"

namespace talvix {
namespace {

constexpr char kWindowEventGuard[] =
    "****> RouteWindowEvent - Talvix: Exception caught.";
constexpr char kCleanUpGuard[] =
    "****> RemoveAllTraffic - Talvix: Exception caught.";
constexpr char kKeyGuard[] = "****> OpenMainWindow - Talvix: Exception caught.";

}  // namespace

void TALVIX_CALL EmptyCallbackFn() {}

void TALVIX_CALL CleanUpCallbackFn() {
  RunGuarded(kCleanUpGuard, RemoveAllTraffic);
}

void TALVIX_CALL IdleCallbackFn(float elapsedSeconds) {
  PluginIdleCycle().run(elapsedSeconds);
}

void TALVIX_CALL KeyCallbackFn(int keyCode, int modifierCode) {
  if (keyCode != kOpenWindowKey || modifierCode != kOpenWindowModifier) return;
  RunGuarded(kKeyGuard, OpenMainWindow);
}

void TALVIX_CALL WindowEventCallbackFn(int signature, int window, int control,
                                       int event, int extra) {
  RunGuarded(kWindowEventGuard, [&] {
    RouteWindowEvent(signature, window, control, event, extra);
  });
}

int TALVIX_CALL MenuSetUpCallbackFn() {
  int result = 0;
  try {
    host::AddMenu(kMenuBar, FourCC("plug"), "Plugins");
    result = host::AddMenuItem(FourCC("plug"), FourCC("txMN"), "Talvix");
  } catch (...) {
  }
  return result;
}

}  // namespace talvix
