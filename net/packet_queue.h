// Fixed first-in first-out queues of packets between two threads. They take
// no lock themselves: the callers hold the queue's lock. Each is a ring, so
// a pop costs the same however many packets wait behind the oldest.
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
  int oldest_ = 0;  // the slot of the oldest packet; moved by pop alone
  Packet* slots_[kSlots];
};

// The outgoing queue: two lanes of PacketQueue with one pop. Lines someone
// waits for (the own report, what the user typed or chose, answers to the
// network's queries) leave before the plug-in's own requests to other
// pilots ("#TX"), which a crowd coming into range queues by the thousand
// and which would otherwise hold the own report back for minutes. Each lane
// keeps its own order and its own room, so requests never take the room of
// a line.
class OutgoingQueue {
 public:
  enum Lane : int { kLines = 0, kRequests = 1 };
  static constexpr int kLanes = 2;
  static constexpr int kSlots = PacketQueue::kSlots;  // in each lane

  // Takes ownership. Null is ignored; a full lane drops (deletes) the
  // packet and returns false.
  bool push(Packet* packet, Lane lane = kLines) {
    return lanes_[lane].push(packet);
  }
  // The oldest line, else the oldest request; null when both are empty.
  Packet* pop();
  // Both lanes; safe to read without the lock, as PacketQueue::count.
  int count() const {
    return lanes_[kLines].count() + lanes_[kRequests].count();
  }
  const PacketQueue& lane(Lane lane) const { return lanes_[lane]; }

 private:
  PacketQueue lanes_[kLanes];
};

}  // namespace talvix
