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

TrafficTable::TrafficTable() {
  // Handed out from the end: the first record gets cell 0.
  while (freeCount_ < kTrafficSlots) {
    freeCells_[freeCount_] = kTrafficSlots - 1 - freeCount_;
    ++freeCount_;
  }
}

TrafficTable::~TrafficTable() {
  for (int i = 0; i < count_; ++i) delete slots_[i];
}

bool TrafficTable::append(TrafficRecord* record) {
  if (full()) return false;
  // Every listed record holds one cell, so a free one is left.
  const std::int32_t cell = freeCells_[--freeCount_];
  record->tickCell = cell;
  ticks_[cell] = kTrafficTtl;
  cells_[count_] = cell;
  slots_[count_++] = record;
  index_.insert(record);
  return true;
}

bool TrafficTable::detach(TrafficRecord* record) {
  for (int i = count_ - 1; i >= 0; --i) {
    if (slots_[i] == record) {
      vacate(i);
      std::copy(slots_ + i + 1, slots_ + count_, slots_ + i);
      std::copy(cells_ + i + 1, cells_ + count_, cells_ + i);
      slots_[--count_] = nullptr;
      return true;
    }
  }
  return false;
}

int TrafficTable::ticksLeft(const TrafficRecord* record) const {
  return record->tickCell >= 0 ? ticks_[record->tickCell] : 0;
}

void TrafficTable::setTicksLeft(const TrafficRecord* record, int ticks) {
  if (record->tickCell >= 0) ticks_[record->tickCell] = ticks;
}

void TrafficTable::vacate(int position) {
  TrafficRecord* record = slots_[position];
  if (!indexStale_) index_.erase(record);
  freeCells_[freeCount_++] = record->tickCell;
  record->tickCell = -1;
  slots_[position] = nullptr;
}

void TrafficTable::closeGaps() {
  int kept = 0;
  for (int i = 0; i < count_; ++i) {
    if (slots_[i] == nullptr) continue;
    slots_[kept] = slots_[i];
    cells_[kept++] = cells_[i];
  }
  std::fill(slots_ + kept, slots_ + count_, nullptr);
  count_ = kept;
  if (indexStale_) {
    index_.clear();
    for (int i = 0; i < count_; ++i) index_.insert(slots_[i]);
  }
  indexStale_ = false;
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

void RemoveAllTraffic() { g_table.removeAll(Discard); }

void AgeTraffic() {
  // Each pilot gone is removed in turn, from the last position down; the
  // lines telling of them follow in that order. Of a crowd gone at once,
  // only the lines the history can hold are written: each earlier one would
  // be pushed out by a later one before this call returns, so the history
  // reads the same, without a host call per pilot for lines never seen.
  constexpr std::size_t kShown = kHistoryMaxLines;
  char last[kShown][sizeof(TrafficRecord::callsign)];
  std::size_t gone = 0;
  g_table.tick(
      [&](const TrafficRecord* record) {
        std::memcpy(last[gone++ % kShown], record->callsign,
                    sizeof record->callsign);
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
