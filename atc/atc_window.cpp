// The ATC window 'txTC': the station table, controller positions only or
// every station, and the button that tunes the selected one.
#include <string>

#include "atc/com_tracking.h"
#include "atc/stations.h"
#include "core/fourcc.h"
#include "core/host.h"
#include "core/number_format.h"
#include "ui/history.h"
#include "ui/window_codes.h"

namespace talvix {
namespace {

constexpr std::uint32_t kWindow = codes::kAtcWindow;
constexpr std::uint32_t kTable = FourCC("atcL");
constexpr std::uint32_t kEveryStationBox = FourCC("full");
constexpr std::uint32_t kCloseButton = FourCC("okBn");
constexpr std::uint32_t kSelectButton = FourCC("slBn");
constexpr std::uint32_t kEventChecked = FourCC("chek");
constexpr std::uint32_t kEventUnchecked = FourCC("uchk");
constexpr int kColumnWidth = 100;
constexpr int kCellTextSize = 128;  // at most 127 characters

void TuneSelectedRow() {
  const int row = host::ListSelectedRow(kWindow, kTable);
  if (row < 0) return;
  char callsign[kCellTextSize];
  host::ListGetCell(kWindow, kTable, row, 0, callsign, sizeof callsign);
  SwitchToStation(FindStation(callsign), true);
  host::CloseWindow(kWindow);
}

// The table's rows, numbered from 0: every station in list order, or only
// the controller positions while the box is off.
template <typename Visit>
void ForEachRow(Visit visit) {
  const bool everyStation =
      host::GetButtonState(kWindow, kEveryStationBox) != 0;
  int row = 0;
  for (int i = 0; i < StationCount(); ++i) {
    const AtcStation* station = StationAt(i);
    if (!everyStation && !IsControllerPosition(station->callsign)) continue;
    visit(row++, *station);
  }
}

}  // namespace

void RefreshAtcWindow() {
  if (!host::IsWindowOpen(kWindow)) return;
  host::ListClearRows(kWindow, kTable);
  host::ListClearColumns(kWindow, kTable);
  host::ListAddColumn(kWindow, kTable, "ATC Position", kColumnWidth);
  host::ListAddColumn(kWindow, kTable, "ATC Frequency", kColumnWidth);
  ForEachRow([](int row, const AtcStation& station) {
    host::ListAppendRow(kWindow, kTable, kListRowHeightCode);
    host::ListSetCell(kWindow, kTable, row, 0, station.callsign);
    host::ListSetCell(kWindow, kTable, row, 1,
                      FormatFloat(station.frequency).c_str());
  });
  HighlightTunedRow();
}

void HighlightTunedRow() {
  if (!host::IsWindowOpen(kWindow)) return;
  int tunedRow = -1;
  ForEachRow([&tunedRow](int row, const AtcStation& station) {
    if (IsTunedStation(station)) tunedRow = row;
  });
  host::ListSelectRow(kWindow, kTable, tunedRow);
}

void OnAtcWindowEvent(std::uint32_t control, std::uint32_t event) {
  if (event == codes::kEventAction) {
    if (control == kCloseButton) host::CloseWindow(kWindow);
    if (control == kSelectButton) TuneSelectedRow();
  } else if (event == kEventChecked || event == kEventUnchecked) {
    RefreshAtcWindow();
  }
}

}  // namespace talvix
