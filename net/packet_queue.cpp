#include "net/packet_queue.h"

#include <cstring>

namespace talvix {

PacketQueue::PacketQueue() { std::memset(slots_, 0, sizeof slots_); }

PacketQueue::~PacketQueue() {
  for (int i = 0; i < count_; ++i) delete slots_[i];
}

bool PacketQueue::push(Packet* packet) {
  if (packet == nullptr) return false;
  if (count_ >= kSlots) {
    delete packet;
    return false;
  }
  slots_[count_++] = packet;
  return true;
}

Packet* PacketQueue::pop() {
  if (count_ <= 0) return nullptr;
  Packet* oldest = slots_[0];
  std::memmove(slots_, slots_ + 1, sizeof(Packet*) * (count_ - 1));
  slots_[--count_] = nullptr;
  return oldest;
}

}  // namespace talvix
