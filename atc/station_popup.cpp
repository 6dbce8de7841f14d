// Each controller position's own item in the main window's popup 'sAtc',
// and the item that shows the tuned station.
#include <string>

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

// Position 0 is item 0, the popup's first item.
PopupIdPool g_popupIds(0, kAtcSlots - 1);

// The item that names the tuned station while no listed station's own item
// does: one without a facility suffix, or one the list no longer holds
// (the session that listed it ended). Its id is outside the pool's.
constexpr int kTunedOnlyItem = kAtcSlots;
// The callsign it shows; empty while the popup has no such item.
std::string g_tunedOnlyText;

void DropTunedOnlyItem() {
  if (g_tunedOnlyText.empty()) return;
  host::RemovePopupItem(codes::kMainWindow, codes::kAtcPopup, kTunedOnlyItem);
  g_tunedOnlyText.clear();
}

// The tuned station is going away: back to the UNICOM station, which is
// first and never leaves. Tuning it shows it in every view.
void FallBackToFirstStation() {
  AddHistoryLine(kTunedExpiredLine);
  SwitchToStation(StationAt(0), true);
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
  // Whether it is the tuned station is the plug-in's to know: the popup
  // may show nothing (its window closed) or another item.
  if (checkTuned && IsTunedStation(*station)) FallBackToFirstStation();
  if (!g_popupIds.inUse(station->popupId)) return;
  host::RemovePopupItem(codes::kMainWindow, codes::kAtcPopup, station->popupId);
  g_popupIds.release(station->popupId);
  station->popupId = -1;
}

AtcStation* StationWithItem(int item) {
  for (int i = 0; i < StationCount(); ++i) {
    AtcStation* station = StationAt(i);
    if (station->popupId >= 0 && station->popupId == item) return station;
  }
  return nullptr;
}

void SelectTunedItem(const AtcStation& tuned) {
  const AtcStation* listed = FindStation(tuned.callsign);
  int item = kTunedOnlyItem;
  if (listed != nullptr && IsTunedStation(*listed) && listed->popupId >= 0) {
    DropTunedOnlyItem();
    item = listed->popupId;
  } else if (g_tunedOnlyText != tuned.callsign) {
    DropTunedOnlyItem();
    host::AddPopupItem(codes::kMainWindow, codes::kAtcPopup, kTunedOnlyItem,
                       tuned.callsign);
    g_tunedOnlyText = tuned.callsign;
  }
  host::SelectPopupItem(codes::kMainWindow, codes::kAtcPopup, item);
}

void OfferStationItems() {
  g_tunedOnlyText.clear();  // a new window: the popup has no item at all
  for (int i = 0; i < StationCount(); ++i) {
    const AtcStation* station = StationAt(i);
    if (!g_popupIds.inUse(station->popupId)) continue;
    host::AddPopupItem(codes::kMainWindow, codes::kAtcPopup, station->popupId,
                       station->callsign);
  }
}

}  // namespace talvix
