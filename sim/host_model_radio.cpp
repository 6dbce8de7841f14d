// The model's radios (COM 1, the transponder code) and the message record,
// through which the plug-in asks the transponder for its mode and reply.
#include <cstring>

#include "core/fourcc.h"
#include "sim/host_model.h"

using talvix::AircraftRef;
using talvix::FourCC;

namespace sim {

void HostModel::sendMessage(talvix::HostMessage* m) {
  if (m == nullptr) return;
  std::lock_guard<std::mutex> lock(mutex_);
  const Transponder& x = state_.user.transponder;
  m->receiver = 0;
  if (m->id != FourCC("getd") || m->destination != x.destination) return;
  int answer = 0;
  if (m->dataTag == FourCC("mode") && x.modeAnsweredAsReal) {
    m->valueType = FourCC("real");
    std::memcpy(m->value, &x.realMode, sizeof x.realMode);
    m->receiver = x.destination;
    return;
  }
  if (m->dataTag == FourCC("mode")) {
    answer = x.mode;
  } else if (m->dataTag == FourCC("rply")) {
    answer = x.reply;
  } else {
    return;
  }
  m->valueType = FourCC("int ");
  std::memcpy(m->value, &answer, sizeof answer);
  m->receiver = x.destination;
}

float HostModel::getRadio(const AircraftRef* ref, int kind, int unit, int) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!isUser(ref) || unit != 1) return 0.0f;
  if (kind == talvix::kRadioCom) return state_.user.com1;
  if (kind == talvix::kRadioTransponder)
    return static_cast<float>(state_.user.transponder.code);
  return 0.0f;
}

void HostModel::setRadio(const AircraftRef* ref, int kind, int unit,
                         float value) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!isUser(ref) || unit != 1) return;
  if (kind == talvix::kRadioCom) state_.user.com1 = value;
  if (kind == talvix::kRadioTransponder)
    state_.user.transponder.code = static_cast<int>(value);
}

}  // namespace sim
