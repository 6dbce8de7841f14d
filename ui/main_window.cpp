// Opening the main window, filling it, and the transponder mode label.
#include "ui/main_window.h"

#include "atc/com_tracking.h"
#include "atc/stations.h"
#include "core/host.h"
#include "net/connection_record.h"
#include "protocol/own_aircraft.h"
#include "traffic/traffic_table.h"
#include "ui/flight_plan_window.h"
#include "ui/history.h"
#include "ui/main_window_state.h"
#include "ui/range_items.h"
#include "ui/settings.h"
#include "ui/shared_values.h"
#include "ui/window_codes.h"

namespace talvix {
namespace {

constexpr char kMainWindowFile[] = "txMain.win";
constexpr char kCreatingNotice[] = "Creating Talvix Window...";
constexpr float kCreatingNoticeDuration = 1.0f;
constexpr char kHistoryTitle[] = "History";
constexpr int kHistoryWidth = 1024;

}  // namespace

MainWindowState& MainWindow() {
  static MainWindowState state;
  return state;
}

bool OpenWindowOnce(std::uint32_t window, const char* file) {
  if (host::IsWindowOpen(window)) return false;
  host::CreateHostWindow(PluginSignature(), window, file);
  return true;
}

void OpenMainWindow() {
  MainWindowState& state = MainWindow();
  if (state.open && host::IsWindowOpen(codes::kMainWindow)) {
    host::RaiseWindow(codes::kMainWindow);
  } else {
    host::TimedMessage(kCreatingNotice, kCreatingNoticeDuration);
    const HistoryHold hold;
    host::CreateHostWindow(PluginSignature(), codes::kMainWindow,
                           kMainWindowFile);
    InitMainWindow();
    state.open = true;
  }
  state.signature = PluginSignature();
  SetFlightPlanSignature(PluginSignature());
}

void InitMainWindow() {
  host::SelectPopupItem(codes::kMainWindow, codes::kPilotPopup, 0);

  int range = 0;  // a missing key means no multiplayer range
  host::ReadSettingInt(settings::kMPDistance, &range);
  MPDistance() = range;
  Connection().mpDistance = range;
  // The popup shows the range in force; a range it does not offer leaves
  // the window file's choice.
  const std::uint32_t item = RangeItemFor(range);
  if (item != 0) {
    host::SelectPopupItem(codes::kMainWindow, codes::kRangePopup,
                          static_cast<int>(item));
  }

  ShowTransponderMode();

  host::ListClearColumns(codes::kMainWindow, codes::kHistory);
  host::ListAddColumn(codes::kMainWindow, codes::kHistory, kHistoryTitle,
                      kHistoryWidth);

  host::ReadSettingInt(settings::kAutoWeather, &AutoWeather());
  host::SetButtonState(codes::kMainWindow, codes::kAutoWeatherBox,
                       AutoWeather());

  // The window is new but the session need not be: what the closed window
  // showed comes back, the lines posted meanwhile included, and the popups
  // list every pilot and station known now, the tuned station shown.
  ShowHistory();
  OfferPilotItems();
  OfferStationItems();
  ShowTunedStation();
}

void ShowTransponderMode() {
  host::SetText(codes::kMainWindow, codes::kTransponderLabel,
                TransponderModeName(TransponderModeIndex()));
}

}  // namespace talvix
