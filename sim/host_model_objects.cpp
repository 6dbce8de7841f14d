// The model's objects: the user's aircraft and the AI objects the plug-in
// creates, their positions, attitudes, speeds and names.
#include <algorithm>
#include <cstring>

#include "sim/file_lookup.h"
#include "sim/geometry.h"
#include "sim/host_model.h"

using talvix::AircraftRef;
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

float HostModel::distance(const HostPosition* from, const HostPosition* to) {
  if (from == nullptr || to == nullptr) return 0.0f;
  return static_cast<float>(
      DistanceFeet(from->lat, from->lon, to->lat, to->lon));
}

}  // namespace sim
