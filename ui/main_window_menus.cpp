// The menus of the main window open the other windows, end the session and
// flip the simulator's help display.
#include "ui/main_window_menus.h"

#include "atc/stations.h"
#include "core/host.h"
#include "net/dropped_lines.h"
#include "protocol/session_end.h"
#include "traffic/aircraft_choice.h"
#include "traffic/traffic_table.h"
#include "ui/connect_dialog.h"
#include "ui/flight_plan_window.h"
#include "ui/history.h"
#include "ui/main_window_state.h"
#include "ui/window_codes.h"

namespace talvix {
namespace {

void Connect() {
  const bool noAircraftChosen = ChosenCsl()[0] == '\0';
  if (noAircraftChosen &&
      OpenWindowOnce(codes::kAircraftWindow, "txAcft.WIN")) {
    LoadAircraftList();
  }
  if (OpenWindowOnce(codes::kConnectWindow, "txConnect.win")) {
    FillConnectDialog();
  }
}

// What Disconnect and Exit share: traffic, stations, session, history.
constexpr SessionEnding kByTheUser{true, true};

void Disconnect() {
  const DroppedLines lost = EndSession(kByTheUser);
  AddHistoryLine("Disconnected.");
  ReportDroppedLines(lost);
}

void Exit() {
  EndSession(kByTheUser);
  const std::uint32_t windows[] = {
      codes::kMainWindow,       codes::kConnectWindow,  codes::kAtcWindow,
      codes::kFlightPlanWindow, codes::kAircraftWindow, codes::kPictureWindow};
  for (std::uint32_t window : windows) host::CloseWindow(window);
  MainWindow().open = false;
}

void ShowAbout() {
  if (OpenWindowOnce(codes::kPictureWindow, "txPic.win")) {
    host::SetPicture(codes::kPictureWindow, codes::kPicture, "splash.pbm");
  }
}

void ToggleHelp() {
  MainWindowState& state = MainWindow();
  if (state.helpToggle) {
    host::HelpToggleA();
  } else {
    host::HelpToggleB();
  }
  state.helpToggle = !state.helpToggle;
}

}  // namespace

void OnConnectionMenu(std::uint32_t item) {
  switch (item) {
    case codes::kItemConnect: Connect(); break;
    case codes::kItemDisconnect: Disconnect(); break;
    case codes::kItemExit: Exit(); break;
    default: break;
  }
}

void OnAtcMenu(std::uint32_t item) {
  switch (item) {
    case codes::kItemAtcList:
      if (OpenWindowOnce(codes::kAtcWindow, "txATC.win")) RefreshAtcWindow();
      break;
    case codes::kItemFlightPlan:
      if (OpenWindowOnce(codes::kFlightPlanWindow, "txFP.win")) {
        FillFlightPlanWindow();
      }
      break;
    case codes::kItemResendPlan: ResendFlightPlan(); break;
    default: break;
  }
}

void OnHelpMenu(std::uint32_t item) {
  switch (item) {
    case codes::kItemAbout: ShowAbout(); break;
    case codes::kItemHelpToggle: ToggleHelp(); break;
    default: break;
  }
}

}  // namespace talvix
