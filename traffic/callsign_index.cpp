#include "traffic/callsign_index.h"

#include <algorithm>
#include <cstring>

#include "traffic/traffic_table.h"

namespace talvix {
namespace {

constexpr std::uint32_t kMask = CallsignIndex::kBuckets - 1;

static_assert((CallsignIndex::kBuckets & kMask) == 0, "a power of two");
static_assert(CallsignIndex::kBuckets > kTrafficSlots, "room for every slot");

// FNV-1a over the bytes, then mixed so that the low bits, which pick the
// bucket, depend on every character (callsigns often differ in one digit).
std::uint32_t HashOf(const char* callsign) {
  std::uint32_t hash = 2166136261u;
  for (const char* c = callsign; *c != '\0'; ++c) {
    hash ^= static_cast<unsigned char>(*c);
    hash *= 16777619u;
  }
  hash ^= hash >> 16;
  hash *= 0x85ebca6bu;
  hash ^= hash >> 13;
  hash *= 0xc2b2ae35u;
  hash ^= hash >> 16;
  return hash;
}

}  // namespace

CallsignIndex::CallsignIndex() : buckets_(new Bucket[kBuckets]()) {}

std::uint32_t CallsignIndex::bucketOf(const char* callsign,
                                      std::uint32_t hash) const {
  std::uint32_t i = hash & kMask;
  for (; buckets_[i].record != nullptr; i = (i + 1) & kMask) {
    if (buckets_[i].hash == hash &&
        std::strcmp(buckets_[i].record->callsign, callsign) == 0)
      break;
  }
  return i;
}

TrafficRecord* CallsignIndex::find(const char* callsign) const {
  if (callsign == nullptr) return nullptr;
  return buckets_[bucketOf(callsign, HashOf(callsign))].record;
}

void CallsignIndex::insert(TrafficRecord* record) {
  const std::uint32_t hash = HashOf(record->callsign);
  buckets_[bucketOf(record->callsign, hash)] = Bucket{record, hash};
}

void CallsignIndex::erase(const TrafficRecord* record) {
  std::uint32_t hole = bucketOf(record->callsign, HashOf(record->callsign));
  if (buckets_[hole].record != record) return;
  // Later buckets of the run move back into the hole when their own home
  // bucket lies at or before it, so no run is ever cut short by an empty
  // bucket that a lookup would stop at.
  for (std::uint32_t next = (hole + 1) & kMask;
       buckets_[next].record != nullptr; next = (next + 1) & kMask) {
    const std::uint32_t home = buckets_[next].hash & kMask;
    if (((next - home) & kMask) >= ((next - hole) & kMask)) {
      buckets_[hole] = buckets_[next];
      hole = next;
    }
  }
  buckets_[hole].record = nullptr;
}

void CallsignIndex::clear() {
  std::fill(buckets_.get(), buckets_.get() + kBuckets, Bucket{nullptr, 0});
}

}  // namespace talvix
