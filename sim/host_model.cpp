// The model's core and its objects: the user's aircraft, AI objects, radios
// and the message record.
#include "sim/host_model.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "core/fourcc.h"
#include "sim/file_lookup.h"
#include "sim/geometry.h"
#include "sim/plugin_loader.h"

using talvix::AircraftRef;
using talvix::FourCC;
using talvix::HostPosition;
using talvix::HostVector;

namespace sim {
namespace {

const unsigned char kUserTag[4] = {'U', 'S', 'E', 'R'};
const unsigned char kObjectTag[4] = {'O', 'B', 'J', ' '};

AircraftRef ObjectRef(int id) {
  AircraftRef ref{};
  std::memcpy(ref.bytes, kObjectTag, 4);
  std::memcpy(ref.bytes + 4, &id, sizeof id);
  return ref;
}

std::string Text(const char* text) { return text ? text : ""; }

}  // namespace

void CopyOut(const std::string& text, char* buffer, int size) {
  if (buffer == nullptr || size <= 0) return;
  std::size_t n = std::min(text.size(), static_cast<std::size_t>(size - 1));
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

HostModel::HostModel(std::string rootDir)
    : root_(std::move(rootDir)),
      settings_((std::filesystem::path(root_) / "settings.ini").string()) {
  std::string table = FindFileNoCase(root_, "airports.txt");
  if (!table.empty()) airports_ = ReadAirportTable(table);
  // A fair day until someone sets the weather.
  state_.weather.altimeter = 29.92;
}

HostModel::~HostModel() = default;

HostState HostModel::snapshot() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_;
}

void HostModel::advanceTime(double seconds) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (seconds > 0) state_.hostTime += seconds;
}

int HostModel::outstandingFlightPlans() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(plans_.size());
}

int HostModel::openLibraries() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return static_cast<int>(libraries_.size());
}

void HostModel::addAirport(const Airport& airport) {
  std::lock_guard<std::mutex> lock(mutex_);
  airports_.push_back(airport);
}

void HostModel::fault(const std::string& what) {
  if (state_.faults.size() < 1000) state_.faults.push_back(what);
}

bool HostModel::isUser(const AircraftRef* ref) const {
  return ref && std::memcmp(ref->bytes, kUserTag, 4) == 0;
}

// Objects are appended with rising ids, so the list is ordered by id and a
// lookup is a binary search. A list someone reordered is still searched.
std::vector<SimObject>::iterator HostModel::objectById(int id) {
  auto& all = state_.objects;
  auto it = std::lower_bound(
      all.begin(), all.end(), id,
      [](const SimObject& o, int wanted) { return o.id < wanted; });
  if (it != all.end() && it->id == id) return it;
  return std::find_if(all.begin(), all.end(),
                      [id](const SimObject& o) { return o.id == id; });
}

SimObject* HostModel::object(const AircraftRef* ref, const char* op) {
  if (ref && std::memcmp(ref->bytes, kObjectTag, 4) == 0) {
    int id = 0;
    std::memcpy(&id, ref->bytes + 4, sizeof id);
    auto it = objectById(id);
    if (it != state_.objects.end()) return &*it;
  }
  fault(std::string(op) + ": unknown aircraft reference");
  return nullptr;
}

int HostModel::signature(int) { return kPluginSignature; }

talvix::HostObject* HostModel::createObject(const char* modelFile, int) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string file = Text(modelFile);
  if (FindFileNoCase(root_, file).empty()) {
    state_.failedCreates.push_back(file);
    return nullptr;
  }
  SimObject o;
  o.id = state_.nextObjectId++;
  o.record = std::make_shared<talvix::HostObject>();
  o.record->ref = ObjectRef(o.id);
  o.model = file;
  objectIds_[o.record.get()] = o.id;
  state_.objects.push_back(o);
  return state_.objects.back().record.get();
}

void HostModel::destroyObject(talvix::HostObject* record) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto known = objectIds_.find(record);
  if (known != objectIds_.end()) {
    auto it = objectById(known->second);
    objectIds_.erase(known);
    if (it != state_.objects.end() && it->record.get() == record) {
      state_.objects.erase(it);
      return;
    }
  }
  fault("destroy object: not an object of this host");
}

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

void HostModel::userAircraft(AircraftRef* out) {
  if (out == nullptr) return;
  *out = AircraftRef{};
  std::memcpy(out->bytes, kUserTag, 4);
}

int HostModel::userAircraftPresent() {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_.user.present ? 1 : 0;
}

void HostModel::getPosition(const AircraftRef* ref, HostPosition* out) {
  if (out == nullptr) return;
  std::lock_guard<std::mutex> lock(mutex_);
  *out = HostPosition{};
  if (isUser(ref)) {
    *out = state_.user.position;
  } else if (SimObject* o = object(ref, "get position")) {
    *out = o->position;
  }
}

void HostModel::setPosition(const AircraftRef* ref,
                            const HostPosition* position) {
  if (position == nullptr) return;
  std::lock_guard<std::mutex> lock(mutex_);
  if (isUser(ref)) {
    state_.user.position = *position;
  } else if (SimObject* o = object(ref, "set position")) {
    o->position = *position;
  }
}

void HostModel::getOrientation(const AircraftRef* ref, HostVector* out) {
  if (out == nullptr) return;
  std::lock_guard<std::mutex> lock(mutex_);
  *out = HostVector{};
  if (isUser(ref)) {
    *out = state_.user.orientation;
  } else if (SimObject* o = object(ref, "get orientation")) {
    *out = o->orientation;
  }
}

void HostModel::setOrientation(const AircraftRef* ref,
                               const HostVector* value) {
  if (value == nullptr) return;
  std::lock_guard<std::mutex> lock(mutex_);
  if (isUser(ref)) {
    state_.user.orientation = *value;
  } else if (SimObject* o = object(ref, "set orientation")) {
    o->orientation = *value;
  }
}

void HostModel::setVelocity(const AircraftRef* ref, const HostVector* value) {
  if (value == nullptr) return;
  std::lock_guard<std::mutex> lock(mutex_);
  if (SimObject* o = isUser(ref) ? nullptr : object(ref, "set velocity"))
    o->velocity = *value;
}

float HostModel::getSpeed(const AircraftRef* ref) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (isUser(ref)) return state_.user.speed;
  SimObject* o = object(ref, "get speed");
  return o ? o->speed : 0.0f;
}

void HostModel::setSpeed(const AircraftRef* ref, float fps) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (isUser(ref)) {
    state_.user.speed = fps;
  } else if (SimObject* o = object(ref, "set speed")) {
    o->speed = fps;
  }
}

void HostModel::setNames(const AircraftRef* ref, const char* name,
                         const char* label) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (isUser(ref)) {
    state_.user.names[0] = Text(name);
    state_.user.names[1] = Text(label);
    return;
  }
  if (SimObject* o = object(ref, "set names")) {
    o->names[0] = Text(name);
    o->names[1] = Text(label);
  }
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

float HostModel::distance(const HostPosition* from, const HostPosition* to) {
  if (from == nullptr || to == nullptr) return 0.0f;
  return static_cast<float>(
      DistanceFeet(from->lat, from->lon, to->lat, to->lon));
}

}  // namespace sim
