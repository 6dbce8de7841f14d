// The traffic table's records by callsign: a fixed open-addressing hash
// table beside the table, so a received line finds its pilot in the same
// time whatever the crowd. The table keeps it in step on every add and
// remove; it owns nothing.
#pragma once

#include <cstdint>
#include <memory>

namespace talvix {

struct TrafficRecord;

class CallsignIndex {
 public:
  // A power of two above the table's 10000 slots: with the table full six
  // buckets in ten are taken, and a lookup probes about two.
  static constexpr std::uint32_t kBuckets = 1u << 14;

  // Every bucket is allocated and cleared here, when the plug-in loads: the
  // index's memory is the same with no pilot as with the table full.
  CallsignIndex();
  CallsignIndex(const CallsignIndex&) = delete;
  CallsignIndex& operator=(const CallsignIndex&) = delete;

  // The record listed under exactly this callsign, or null.
  TrafficRecord* find(const char* callsign) const;
  // Lists the record under its callsign, in place of any other record of
  // that callsign (the newest is the one found).
  void insert(TrafficRecord* record);
  // Takes this record out; nothing when it is not the one listed.
  void erase(const TrafficRecord* record);
  // Lists nothing.
  void clear();

 private:
  struct Bucket {
    TrafficRecord* record;  // null: empty
    std::uint32_t hash;
  };
  // The bucket holding this callsign, else the empty one ending its run.
  std::uint32_t bucketOf(const char* callsign, std::uint32_t hash) const;

  std::unique_ptr<Bucket[]> buckets_;
};

}  // namespace talvix
