// Each controller position's own item in the main window's popup 'sAtc'.

#include "atc/com_tracking.h"
#include "atc/stations.h"
#include "core/host.h"
#include "protocol/alerts.h"
#include "ui/history.h"
#include "ui/popup_ids.h"
#include "ui/window_codes.h"

namespace talvix {
namespace {

constexpr char kTunedExpiredLine[] =
    "** Active ATC position expired !! ==> you will be switched to UNICOM";
constexpr int kShownTextSize = 40;  // the popup's text, at most 39 characters

// Position 0 is item 0, the popup's first item.
PopupIdPool g_popupIds(0, kAtcSlots - 1);

// The tuned station is going away: back to the station at position 0 once
// it has gone, which is the next one when the first itself goes. With no
// station left there is nothing to switch to and nothing is said.
void FallBackToFirstStation(const AtcStation* leaving) {
  AtcStation* first = StationAt(0);
  if (first == leaving) first = StationAt(1);
  if (first == nullptr) return;
  AddHistoryLine(kTunedExpiredLine);
  // Tuning it shows it in the popup and in 'aFrq'.
  SwitchToStation(first, true);
  AlertUser();
}

}  // namespace

void OfferStationItem(AtcStation* station) {
  station->popupId = -1;
  if (!IsControllerPosition(station->callsign)) return;
  station->popupId = g_popupIds.take(station->itemNumber);
  if (station->popupId < 0) return;
  host::AddPopupItem(codes::kMainWindow, codes::kAtcPopup, station->popupId,
                     station->callsign);
}

void RemoveStationItem(AtcStation* station, bool checkTuned) {
  // The station shown in the popup is the tuned one. Its own item id tells
  // it apart exactly, also where the shown text (39 characters at most)
  // would cut a longer callsign.
  if (checkTuned && station->popupId >= 0) {
    char shown[kShownTextSize];
    const int shownId = host::GetPopupSelection(
        codes::kMainWindow, codes::kAtcPopup, shown, sizeof shown);
    if (shownId == station->popupId) FallBackToFirstStation(station);
  }
  if (!g_popupIds.inUse(station->popupId)) return;
  host::RemovePopupItem(codes::kMainWindow, codes::kAtcPopup, station->popupId);
  g_popupIds.release(station->popupId);
  station->popupId = -1;
}

void SelectStationItem(const char* callsign) {
  const AtcStation* station = FindStation(callsign);
  if (station == nullptr || station->popupId < 0) return;
  host::SelectPopupItem(codes::kMainWindow, codes::kAtcPopup, station->popupId);
}

void OfferStationItems() {
  for (int i = 0; i < StationCount(); ++i) {
    const AtcStation* station = StationAt(i);
    if (!g_popupIds.inUse(station->popupId)) continue;
    host::AddPopupItem(codes::kMainWindow, codes::kAtcPopup, station->popupId,
                       station->callsign);
  }
}

}  // namespace talvix
