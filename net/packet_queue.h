// A fixed first-in first-out queue of packets between two threads. It takes
// no lock itself: the callers hold the queue's lock.
#pragma once

#include <atomic>

#include "net/packet.h"

namespace talvix {

class PacketQueue {
 public:
  static constexpr int kSlots = 10240;

  PacketQueue();
  ~PacketQueue();  // deletes the packets still held
  PacketQueue(const PacketQueue&) = delete;
  PacketQueue& operator=(const PacketQueue&) = delete;

  // Takes ownership. Null is ignored; a full queue drops (deletes) the packet
  // and returns false.
  bool push(Packet* packet);
  // Safe to read without the lock: the one thread that pops may look
  // before it takes the lock, and a count above 0 cannot fall meanwhile.
  int count() const { return count_.load(std::memory_order_acquire); }
  // The oldest packet, now owned by the caller; null when empty.
  Packet* pop();

 private:
  std::atomic<int> count_{0};
  Packet* slots_[kSlots];
};

}  // namespace talvix
