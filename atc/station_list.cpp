// The list of ATC stations: a flat array in order of arrival, searched
// linearly. Position 0 holds the UNICOM station from the first "%" line on
// and is never aged or cleared.
#include <cstring>
#include <string>

#include "atc/com_tracking.h"
#include "atc/stations.h"
#include "ui/history.h"

namespace talvix {
namespace {

class AtcStationList {
 public:
  ~AtcStationList() {
    for (int i = 0; i < count_; ++i) delete slots_[i];
  }
  int count() const { return count_; }
  bool full() const { return count_ >= kAtcSlots; }
  AtcStation* at(int position) const {
    return position >= 0 && position < count_ ? slots_[position] : nullptr;
  }
  void append(AtcStation* station) { slots_[count_++] = station; }
  // Takes the station at a position out and closes the gap.
  void detachAt(int position) {
    for (int i = position; i < count_ - 1; ++i) slots_[i] = slots_[i + 1];
    slots_[--count_] = nullptr;
  }

 private:
  AtcStation* slots_[kAtcSlots] = {};
  int count_ = 0;
};

AtcStationList g_list;

}  // namespace

int StationCount() { return g_list.count(); }
AtcStation* StationAt(int position) { return g_list.at(position); }

AtcStation* FindStation(const char* callsign) {
  if (callsign == nullptr) return nullptr;
  AtcStation* found = nullptr;
  for (int i = 0; i < g_list.count(); ++i) {
    if (std::strcmp(g_list.at(i)->callsign, callsign) == 0)
      found = g_list.at(i);
  }
  return found;
}

AtcStation* FindStationByFrequency(float frequency) {
  for (int i = 0; i < g_list.count(); ++i) {
    if (g_list.at(i)->frequency == frequency) return g_list.at(i);
  }
  return nullptr;
}

void AddStation(AtcStation* station) {
  if (station == nullptr) return;
  for (int i = 0; i < g_list.count(); ++i) {
    AtcStation* listed = g_list.at(i);
    if (std::strcmp(listed->callsign, station->callsign) == 0) {
      listed->frequency = station->frequency;
      delete station;
      return;
    }
  }
  if (g_list.full()) {
    delete station;
    return;
  }
  station->itemNumber = g_list.count();
  g_list.append(station);
  OfferStationItem(station);
  // The tuned station heard again (a new session after the old one ended)
  // is shown by its own item again.
  if (IsTunedStation(*station)) ShowTunedStation();
}

void RemoveStation(const char* callsign) {
  AtcStation* station = FindStation(callsign);
  // The first station is the plug-in's own UNICOM, not the network's.
  if (station == nullptr || station == g_list.at(0)) return;
  for (int i = g_list.count() - 1; i >= 1; --i) {
    if (g_list.at(i) != station) continue;
    // The tuned station leaving falls back to UNICOM, as on expiry.
    RemoveStationItem(station, true);
    g_list.detachAt(i);
    delete station;
    return;
  }
}

void ExpireStations() {
  const int before = g_list.count();
  // From the end, so the positions still to visit stay where they are.
  for (int i = g_list.count() - 1; i >= 1; --i) {
    AtcStation* station = g_list.at(i);
    if (--station->ttl > 0) continue;
    const std::string line =
        std::string("Removing ATC: ") + station->callsign + " (expired)";
    AddHistoryLine(line.c_str());
    // The fall-back to UNICOM reads the list, so the station leaves the
    // popup while it is still listed and is only then taken out.
    RemoveStationItem(station, true);
    g_list.detachAt(i);
    delete station;
  }
  if (g_list.count() != before) RefreshAtcWindow();
}

void ClearStations() {
  for (int i = g_list.count() - 1; i >= 1; --i) {
    AtcStation* station = g_list.at(i);
    RemoveStationItem(station, false);
    g_list.detachAt(i);
    delete station;
  }
  // The tuned station stays tuned, with the radio: the popup, whose shown
  // item may just have gone, shows it again.
  ShowTunedStation();
  RefreshAtcWindow();
}

}  // namespace talvix
