// Other pilots as simulator AI aircraft: one record per pilot in range, each
// with its simulator object and its item in the main window's popup 'spMg'.
#pragma once

#include <cstdint>

#include "core/host_services.h"
#include "traffic/callsign_index.h"

namespace talvix {

struct TrafficRecord {
  HostObject* object = nullptr;  // null when no model could be loaded
  AircraftRef reference{};       // every object operation takes it
  char callsign[32] = {};        // the key, case-sensitive, cut to 31
  HostPosition previousPosition{};
  HostPosition position{};       // arc-seconds (signed), feet
  HostVector attitude{};         // radians: x pitch, y heading, z bank
  std::int32_t peerVersion = 0;  // from the pilot's "VI" answer
  std::int32_t speed = 0;        // feet per second, truncated
  std::int32_t ttl = 0;          // five-second ticks left
  std::int32_t itemNumber = 0;   // the table count when it was added
  // The id of this pilot's own 'spMg' item. Item numbers repeat after
  // removals, so the popup is driven by ids unique among the pilots
  // listed; 0 while the record has no item.
  std::int32_t popupId = 0;
};

constexpr int kTrafficSlots = 10000;
constexpr int kTrafficTtl = 8;

class TrafficTable {
 public:
  TrafficTable() = default;
  // At unload: the records still held are freed; their simulator objects
  // belong to the host, which is not called any more.
  ~TrafficTable();
  TrafficTable(const TrafficTable&) = delete;
  TrafficTable& operator=(const TrafficTable&) = delete;
  int count() const { return count_; }
  bool full() const { return count_ >= kTrafficSlots; }
  TrafficRecord* at(int position) const { return slots_[position]; }
  // The record with exactly this callsign, or null.
  TrafficRecord* find(const char* callsign) const {
    return index_.find(callsign);
  }
  // Appends; false (and nothing changed) when all slots are taken.
  bool append(TrafficRecord* record);
  // Takes the record out and closes the gap; false when it is not listed.
  bool detach(TrafficRecord* record);
  // From the last position down, takes out every record that leaves(record)
  // says goes and hands it to discard; the gaps close once, at the end (also
  // when a step throws), so the records left keep their order.
  template <typename Leaves, typename Discard>
  void removeFromEnd(Leaves leaves, Discard discard) {
    const ClosesGaps closing(*this);
    for (int i = count_ - 1; i >= 0; --i) {
      TrafficRecord* record = slots_[i];
      if (!leaves(record)) continue;
      vacate(i);
      discard(record);
    }
  }

 private:
  struct ClosesGaps {
    explicit ClosesGaps(TrafficTable& table) : table(table) {}
    ~ClosesGaps() { table.closeGaps(); }
    TrafficTable& table;
  };
  // Leaves the slot empty and the record out of the index (or the index
  // to be built again when the sweep ends).
  void vacate(int position);
  // One pass moving the records left down over the emptied slots; the
  // index is in step again.
  void closeGaps();

  TrafficRecord* slots_[kTrafficSlots] = {};
  int count_ = 0;
  CallsignIndex index_;
  // In a sweep: records taken out so far, and whether the index still
  // lists some of them (nothing looks a callsign up before the sweep ends).
  int vacated_ = 0;
  bool indexStale_ = false;
};

TrafficTable& Traffic();

// The last record with exactly this callsign, or null.
TrafficRecord* FindTraffic(const char* callsign);
// Appends the record and adds its popup item; false when the table is full
// (the record is then not listed and stays the caller's).
bool AddTraffic(TrafficRecord* record);
// Removes one record with its item and object; posts nothing.
void RemoveTraffic(TrafficRecord* record);
// Removes every pilot, its popup item and its simulator object. Also the
// plug-in's clean-up callback.
void RemoveAllTraffic();
// One five-second tick: pilots silent for eight ticks are removed.
void AgeTraffic();
// Gives every listed pilot its 'spMg' item again, under its own id, in
// order of arrival: a main window created anew has only its "------".
void OfferPilotItems();

// Fills a new record and creates its object from the default model.
void CreateTraffic(TrafficRecord* record, const char* callsign,
                   const HostPosition& position, std::uint32_t pitch,
                   std::uint32_t bank, std::uint32_t heading, int knots);
// Moves a listed record with a new report.
void UpdateTraffic(TrafficRecord* record, const HostPosition& position,
                   std::uint32_t pitch, std::uint32_t bank,
                   std::uint32_t heading, int knots);
// Ten-bit attitude fields to radians (x pitch, y heading, z bank).
HostVector AttitudeToOrientation(std::uint32_t pitch, std::uint32_t bank,
                                 std::uint32_t heading);
void SetTrafficVelocity(TrafficRecord* record);
// Knots to whole feet per second, truncated.
int FeetPerSecondFromKnots(int knots);

// The model every new pilot starts with.
extern const char kDefaultTrafficModel[];

}  // namespace talvix
