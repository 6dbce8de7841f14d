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

Packet::Packet() = default;

Packet::Packet(const char* text) {
  setText(text);
  kind_ = PacketKindOf(text_.c_str());
}

Packet::~Packet() = default;

void Packet::setText(const char* text) {
  text_.clear();
  appendText(text);
}

void Packet::appendText(const char* text) {
  if (text == nullptr) return;
  const std::size_t room = kTextSize - 1 - text_.size();
  text_.append(text, strnlen(text, room));
}

void Packet::appendField(const char* field) {
  if (field == nullptr) return;
  if (text_.size() != 3) appendText(":");
  appendText(field);
}

const char* Packet::getPrefix() {
  const std::size_t length = text_.size() < 3 ? text_.size() : 3;
  std::memcpy(prefix_, text_.data(), length);
  prefix_[length] = '\0';
  return prefix_;
}

const char* Packet::payload() const {
  std::size_t skip = (kind_ == kPacketHash || kind_ == kPacketDollar) ? 3 : 1;
  return text_.c_str() + (text_.size() < skip ? text_.size() : skip);
}

void reportFatalMemoryError() { host::Alert(kFatalMemoryErrorText); }

}  // namespace talvix
