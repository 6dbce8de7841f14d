// Every window event of the host arrives here and goes to the window it
// concerns. Events carrying another plug-in's signature are not ours.
#include "atc/stations.h"
#include "core/host.h"
#include "net/session.h"
#include "traffic/aircraft_choice.h"
#include "ui/flight_plan_window.h"
#include "ui/main_window.h"
#include "ui/shared_values.h"
#include "ui/window_codes.h"

namespace talvix {
namespace {

bool IsTalvixMenuSelection(std::uint32_t control, std::uint32_t event,
                           std::uint32_t extra) {
  return control == codes::kPluginsMenu && event == codes::kEventSelect &&
         extra == codes::kTalvixMenuItem;
}

}  // namespace

void RouteWindowEvent(int signature, int window, int control, int event,
                      int extra) {
  if (signature != PluginSignature()) return;
  const auto windowCode = static_cast<std::uint32_t>(window);
  const auto controlCode = static_cast<std::uint32_t>(control);
  const auto eventCode = static_cast<std::uint32_t>(event);
  const auto extraCode = static_cast<std::uint32_t>(extra);

  // The simulator menu item opens the main window; the event is then routed
  // like any other.
  if (IsTalvixMenuSelection(controlCode, eventCode, extraCode)) {
    OpenMainWindow();
  }

  switch (windowCode) {
    case codes::kAircraftWindow:
      OnAircraftWindowEvent(controlCode, eventCode);
      break;
    case codes::kConnectWindow:
      OnConnectWindowEvent(controlCode, eventCode, extraCode);
      break;
    case codes::kFlightPlanWindow:
      OnFlightPlanWindowEvent(controlCode, eventCode);
      break;
    case codes::kMainWindow:
      OnMainWindowEvent(controlCode, eventCode, extraCode);
      break;
    case codes::kAtcWindow: OnAtcWindowEvent(controlCode, eventCode); break;
    case codes::kPictureWindow:
      if (eventCode == codes::kEventAction) {
        host::CloseWindow(codes::kPictureWindow);
      }
      break;
    default: break;
  }
}

}  // namespace talvix
