// Other pilots as simulator AI aircraft: one record per pilot in range, each
// with its simulator object and its item in the main window's popup 'spMg'.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>

#include "core/host_services.h"
#include "traffic/callsign_index.h"

namespace talvix {

// What a removal reads (object, item id, cell, callsign) comes first, so a
// sweep over a crowd touches as little of each record as it can.
struct TrafficRecord {
  // From a block of the plug-in's own (record_pool.cpp), the heap when it
  // is used up.
  static void* operator new(std::size_t size);
  static void* operator new(std::size_t size, const std::nothrow_t&) noexcept;
  static void operator delete(void* memory) noexcept;
  static void operator delete(void* memory, const std::nothrow_t&) noexcept;

  HostObject* object = nullptr;  // null when no model could be loaded
  // The id of this pilot's own 'spMg' item. Item numbers repeat after
  // removals, so the popup is driven by ids unique among the pilots
  // listed; 0 while the record has no item.
  std::int32_t popupId = 0;
  // The record's cell in the table's array of ticks left: fixed while it is
  // listed, so a report renews the count wherever the record stands, and
  // the tick reads the counts without touching a record; -1 while not
  // listed.
  std::int32_t tickCell = -1;
  char callsign[32] = {};       // the key, case-sensitive, cut to 31
  AircraftRef reference{};      // every object operation takes it
  std::int32_t itemNumber = 0;  // the table count when it was added
  HostPosition previousPosition{};
  HostPosition position{};       // arc-seconds (signed), feet
  HostVector attitude{};         // radians: x pitch, y heading, z bank
  std::int32_t peerVersion = 0;  // from the pilot's "VI" answer
  std::int32_t speed = 0;        // feet per second, truncated
};

constexpr int kTrafficSlots = 10000;
constexpr int kTrafficTtl = 8;

class TrafficTable {
 public:
  TrafficTable();
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
  // Appends with kTrafficTtl ticks left; false (and nothing changed) when
  // all slots are taken.
  bool append(TrafficRecord* record);
  // Takes the record out and closes the gap; false when it is not listed.
  bool detach(TrafficRecord* record);
  // A listed record's five-second ticks left; 0 for one not listed.
  int ticksLeft(const TrafficRecord* record) const;
  // Sets them; nothing for a record not listed.
  void setTicksLeft(const TrafficRecord* record, int ticks);
  // One five-second tick: every record has one tick less. Those with none
  // left are taken out from the last position down, each handed to
  // gone(record) and then to discard(record).
  template <typename Gone, typename Discard>
  void tick(Gone gone, Discard discard) {
    int leaving = 0;
    for (int i = 0; i < count_; ++i) leaving += --ticks_[cells_[i]] <= 0;
    sweep(
        leaving, [this](int i) { return ticks_[cells_[i]] <= 0; }, gone,
        discard);
  }
  // Takes every record out, from the last position down, into discard.
  template <typename Discard>
  void removeAll(Discard discard) {
    sweep(
        count_, [](int) { return true; }, [](TrafficRecord*) {}, discard);
  }

 private:
  // Takes out the leaving records; the gaps close once, at the end (also
  // when a step throws), so the records left keep their order.
  template <typename Leaves, typename Gone, typename Discard>
  void sweep(int leaving, Leaves leaves, Gone gone, Discard discard) {
    if (leaving <= 0) return;
    // Once more than half the table goes, and more than the clearing of
    // every bucket costs, building the index anew from those left costs
    // less than taking each one out.
    constexpr int kWorthARebuild = 256;
    indexStale_ = leaving > count_ / 2 && leaving > kWorthARebuild;
    const ClosesGaps closing(*this);
    for (int i = count_ - 1; i >= 0; --i) {
      // After some coming and going the records lie apart: each is asked
      // for a few steps before it is read, so the sweep does not wait on
      // every one.
      constexpr int kAhead = 8;
      if (i >= kAhead) __builtin_prefetch(slots_[i - kAhead]);
      if (!leaves(i)) continue;
      TrafficRecord* record = slots_[i];
      gone(record);
      vacate(i);
      discard(record);
    }
  }
  struct ClosesGaps {
    explicit ClosesGaps(TrafficTable& table) : table(table) {}
    ~ClosesGaps() { table.closeGaps(); }
    TrafficTable& table;
  };
  // Leaves the slot empty, its cell free, and the record out of the index
  // (unless the index is built anew when the sweep ends).
  void vacate(int position);
  // One pass moving the records left down over the emptied slots; the
  // index is in step again.
  void closeGaps();

  TrafficRecord* slots_[kTrafficSlots] = {};
  std::int32_t cells_[kTrafficSlots] = {};  // each slot's cell
  std::int32_t ticks_[kTrafficSlots] = {};  // by cell
  // The cells no listed record holds, a stack of freeCount_.
  std::int32_t freeCells_[kTrafficSlots] = {};
  int freeCount_ = 0;
  int count_ = 0;
  CallsignIndex index_;
  // In a sweep: whether the index still lists records taken out (nothing
  // looks a callsign up before the sweep ends).
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
