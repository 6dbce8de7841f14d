// The main window's own events: one handler per control.
#include <cstring>
#include <string>

#include "atc/com_tracking.h"
#include "atc/stations.h"
#include "core/host.h"
#include "core/text.h"
#include "net/connection_record.h"
#include "ui/command_line.h"
#include "ui/history.h"
#include "ui/main_window.h"
#include "ui/main_window_menus.h"
#include "ui/main_window_state.h"
#include "ui/range_items.h"
#include "ui/settings.h"
#include "ui/shared_values.h"
#include "ui/window_codes.h"

namespace talvix {
namespace {

constexpr std::uint32_t kWindow = codes::kMainWindow;
constexpr char kNoPilot[] = "------";
constexpr int kPopupTextSize = 64;  // a callsign item, NUL included
constexpr int kOffsetTextSize = 32;

void OnResized() {
  const int rows = host::ListRowCount(kWindow, codes::kHistory);
  if (rows > 0) host::ScrollToRow(kWindow, codes::kHistory, rows - 1);
}

void OnCommandEntered() {
  RunCommandLine();
  host::SelectPopupItem(kWindow, codes::kPilotPopup, 0);
}

// A pilot picked from 'spMg' prepares a private message to it.
void OnPilotSelected() {
  char pilot[kPopupTextSize];
  host::GetPopupSelection(kWindow, codes::kPilotPopup, pilot, sizeof pilot);
  host::ClearText(kWindow, codes::kCommandLine);
  if (std::strcmp(pilot, kNoPilot) == 0) {
    host::Redraw(kWindow, codes::kCommandLine);
    return;
  }
  const std::string command = std::string(".msg ") + pilot + " ";
  host::SetText(kWindow, codes::kCommandLine, command.c_str());
  host::SetFocus(kWindow, codes::kCommandLine);
}

// The pick is told by the item's own id, so two items of one callsign (a
// tuned station no longer listed and a new one of that name) stay apart.
void OnAtcSelected() {
  char shown[kPopupTextSize];
  const int item =
      host::GetPopupSelection(kWindow, codes::kAtcPopup, shown, sizeof shown);
  const AtcStation* picked = StationWithItem(item);
  if (picked != nullptr && !IsTunedStation(*picked)) {
    SwitchToStation(picked, true);
  }
  // A pick that tuned nothing (no connection, no listed station) leaves
  // the popup on the tuned station.
  ShowTunedStation();
}

void OnAltitudeOffsetApplied() {
  char text[kOffsetTextSize];
  host::GetText(kWindow, codes::kAltitudeOffsetField, text, sizeof text);
  AltitudeOffset() = ParseInt(text);
}

// Only a real change is stored, so the settings are not rewritten by
// events that leave the box as it was.
void OnAutoWeatherToggled() {
  const int state = host::GetButtonState(kWindow, codes::kAutoWeatherBox);
  if (state == AutoWeather()) return;
  AutoWeather() = state;
  host::WriteSettingInt(settings::kAutoWeather, state);
}

void OnRangeChosen(std::uint32_t item) {
  host::SelectPopupItem(kWindow, codes::kRangePopup, static_cast<int>(item));
  const int range = RangeForItem(item);
  MPDistance() = range;
  Connection().mpDistance = range;
  host::WriteSettingInt(settings::kMPDistance, range);
  const std::string line = "Changed MP distance to: " + std::to_string(range);
  AddHistoryLine(line.c_str());
}

bool IsIgnoredEvent(std::uint32_t event) {
  return event == codes::kEventMove || event == codes::kEventFocus ||
         event == codes::kEventFocusLost;
}

}  // namespace

void OnMainWindowEvent(std::uint32_t control, std::uint32_t event,
                       std::uint32_t extra) {
  if (IsIgnoredEvent(event)) return;
  switch (control) {
    case codes::kMinimiseBox: host::MinimiseWindow(kWindow); break;
    case codes::kCloseBox:
    case codes::kWindowAction: MainWindow().open = false; break;
    case codes::kSizeBox: OnResized(); break;
    case codes::kCommandLine:
      if (event == codes::kEventTextEntered) OnCommandEntered();
      break;
    case codes::kPilotPopup:
      if (event == codes::kEventSelect) OnPilotSelected();
      break;
    case codes::kAtcPopup:
      if (event == codes::kEventSelect) OnAtcSelected();
      break;
    case codes::kAltitudeOffsetApply:
      if (event == codes::kEventValue) OnAltitudeOffsetApplied();
      break;
    case codes::kAutoWeatherBox: OnAutoWeatherToggled(); break;
    case codes::kRangePopup: OnRangeChosen(extra); break;
    case codes::kConnectionMenu: OnConnectionMenu(extra); break;
    case codes::kAtcMenu: OnAtcMenu(extra); break;
    case codes::kHelpMenu: OnHelpMenu(extra); break;
    default: break;
  }
}

}  // namespace talvix
