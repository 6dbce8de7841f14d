// The table of pilots in range, with their popup items and objects.
#include "traffic/traffic_table.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "core/fourcc.h"
#include "core/host.h"
#include "ui/history.h"
#include "ui/popup_ids.h"

namespace talvix {
namespace {

TrafficTable g_table;

constexpr std::uint32_t kMainWindow = FourCC("txMN");
constexpr std::uint32_t kPilotPopup = FourCC("spMg");

// Ids of the items now in the popup; at most one per slot is ever in use.
PopupIdPool g_popupIds(1, kTrafficSlots);

void RemovePopupItem(TrafficRecord* record) {
  std::int32_t id = record->popupId;
  if (!g_popupIds.inUse(id)) return;
  host::RemovePopupItem(kMainWindow, kPilotPopup, id);
  g_popupIds.release(id);
  record->popupId = 0;
}

// The popup item and the object go, then the record itself.
void Discard(TrafficRecord* record) {
  RemovePopupItem(record);
  if (record->object != nullptr) host::DestroyObject(record->object);
  delete record;
}

}  // namespace

TrafficTable::~TrafficTable() {
  for (int i = 0; i < count_; ++i) delete slots_[i];
}

bool TrafficTable::append(TrafficRecord* record) {
  if (full()) return false;
  slots_[count_++] = record;
  index_.insert(record);
  return true;
}

bool TrafficTable::detach(TrafficRecord* record) {
  for (int i = count_ - 1; i >= 0; --i) {
    if (slots_[i] == record) {
      index_.erase(record);
      std::copy(slots_ + i + 1, slots_ + count_, slots_ + i);
      slots_[--count_] = nullptr;
      return true;
    }
  }
  return false;
}

void TrafficTable::vacate(int position) {
  // Once more than half the table has gone in one sweep, and more than the
  // clearing of every bucket costs, building the index anew from those left
  // costs less than taking each one out.
  constexpr int kWorthARebuild = 256;
  if (indexStale_ || (++vacated_ > count_ / 2 && vacated_ > kWorthARebuild)) {
    indexStale_ = true;
  } else {
    index_.erase(slots_[position]);
  }
  slots_[position] = nullptr;
}

void TrafficTable::closeGaps() {
  TrafficRecord** end = std::remove(slots_, slots_ + count_,
                                    static_cast<TrafficRecord*>(nullptr));
  std::fill(end, slots_ + count_, nullptr);
  count_ = static_cast<int>(end - slots_);
  if (indexStale_) {
    index_.clear();
    for (int i = 0; i < count_; ++i) index_.insert(slots_[i]);
  }
  indexStale_ = false;
  vacated_ = 0;
}

TrafficTable& Traffic() { return g_table; }

TrafficRecord* FindTraffic(const char* callsign) {
  return g_table.find(callsign);
}

bool AddTraffic(TrafficRecord* record) {
  if (record == nullptr || g_table.full()) return false;
  g_table.append(record);
  record->itemNumber = g_table.count();
  // At most kTrafficSlots pilots are listed, so an id is always free.
  std::int32_t id = g_popupIds.take(record->itemNumber);
  record->popupId = id;
  host::AddPopupItem(kMainWindow, kPilotPopup, id, record->callsign);
  return true;
}

void RemoveTraffic(TrafficRecord* record) {
  if (record == nullptr) return;
  g_table.detach(record);
  Discard(record);
}

void RemoveAllTraffic() {
  g_table.removeFromEnd([](TrafficRecord*) { return true; }, Discard);
}

void AgeTraffic() {
  // Each pilot gone is removed in turn, from the last position down; the
  // lines telling of them follow in that order. Of a crowd gone at once,
  // only the lines the history can hold are written: each earlier one would
  // be pushed out by a later one before this call returns, so the history
  // reads the same, without a host call per pilot for lines never seen.
  constexpr std::size_t kShown = kHistoryMaxLines;
  char last[kShown][sizeof(TrafficRecord::callsign)];
  std::size_t gone = 0;
  g_table.removeFromEnd(
      [&](TrafficRecord* record) {
        if (--record->ttl > 0) return false;
        std::memcpy(last[gone++ % kShown], record->callsign,
                    sizeof record->callsign);
        return true;
      },
      Discard);
  for (std::size_t i = gone > kShown ? gone - kShown : 0; i < gone; ++i) {
    std::string line =
        std::string("Removing acft: ") + last[i % kShown] + " (not responding)";
    AddHistoryLine(line.c_str());
  }
}

void OfferPilotItems() {
  for (int i = 0; i < g_table.count(); ++i) {
    const TrafficRecord* record = g_table.at(i);
    if (!g_popupIds.inUse(record->popupId)) continue;
    host::AddPopupItem(kMainWindow, kPilotPopup, record->popupId,
                       record->callsign);
  }
}

}  // namespace talvix
