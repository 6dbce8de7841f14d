#include "net/packet.h"

#include <cstring>

#include "core/host.h"

namespace talvix {

const char kFatalMemoryErrorText[] =
    "Talvix : Fatal Memory Allocation Error, Please Close Fly! NOW and free "
    "some resources ! ";

int PacketKindOf(const char* text) {
  if (text == nullptr) return kPacketUnhandled;
  switch (text[0]) {
    case '#': return kPacketHash;
    case '$': return kPacketDollar;
    case '@': return kPacketPilot;
    case '%': return kPacketAtc;
    default: return kPacketUnhandled;
  }
}

Packet::Packet() {
  std::memset(text_, 0, sizeof text_);
  std::memset(prefix_, 0, sizeof prefix_);
}

Packet::Packet(const char* text) : Packet() {
  setText(text);
  kind_ = PacketKindOf(text_);
}

Packet::~Packet() = default;

void Packet::setText(const char* text) {
  text_[0] = '\0';
  appendText(text);
}

void Packet::appendText(const char* text) {
  if (text == nullptr) return;
  std::size_t used = std::strlen(text_);
  std::size_t room = kTextSize - 1 - used;
  std::size_t length = strnlen(text, room);
  std::memcpy(text_ + used, text, length);
  text_[used + length] = '\0';
}

void Packet::appendField(const char* field) {
  if (field == nullptr) return;
  if (std::strlen(text_) != 3) appendText(":");
  appendText(field);
}

const char* Packet::getPrefix() {
  std::memcpy(prefix_, text_, 3);
  prefix_[3] = '\0';
  return prefix_;
}

const char* Packet::payload() const {
  std::size_t length = std::strlen(text_);
  std::size_t skip = (kind_ == kPacketHash || kind_ == kPacketDollar) ? 3 : 1;
  return text_ + (length < skip ? length : skip);
}

void reportFatalMemoryError() { host::Alert(kFatalMemoryErrorText); }

}  // namespace talvix
