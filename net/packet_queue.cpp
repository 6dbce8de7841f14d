#include "net/packet_queue.h"

#include <cstring>

namespace talvix {

PacketQueue::PacketQueue() { std::memset(slots_, 0, sizeof slots_); }

namespace {

// The slot n places after slot from, round the ring.
int SlotAfter(int from, int n) {
  const int slot = from + n;
  return slot < PacketQueue::kSlots ? slot : slot - PacketQueue::kSlots;
}

}  // namespace

PacketQueue::~PacketQueue() {
  const int held = count_.load();
  for (int i = 0; i < held; ++i) delete slots_[SlotAfter(oldest_, i)];
}

bool PacketQueue::push(Packet* packet) {
  if (packet == nullptr) return false;
  const int held = count_.load(std::memory_order_relaxed);
  if (held >= kSlots) {
    delete packet;
    return false;
  }
  slots_[SlotAfter(oldest_, held)] = packet;
  // The slot is filled before the count shows it to a reader without lock.
  count_.store(held + 1, std::memory_order_release);
  return true;
}

Packet* PacketQueue::pop() {
  const int held = count_.load(std::memory_order_relaxed);
  if (held <= 0) return nullptr;
  Packet* oldest = slots_[oldest_];
  slots_[oldest_] = nullptr;
  oldest_ = SlotAfter(oldest_, 1);
  count_.store(held - 1, std::memory_order_release);
  return oldest;
}

Packet* OutgoingQueue::pop() {
  if (lanes_[kLines].count() > 0) return lanes_[kLines].pop();
  return lanes_[kRequests].pop();
}

}  // namespace talvix
