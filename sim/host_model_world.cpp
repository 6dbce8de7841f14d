// The model's messages, sounds, settings, simulator data, weather and
// libraries.
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "sim/file_lookup.h"
#include "sim/host_model.h"
#include "sim/metar_reader.h"
#include "sim/plugin_loader.h"

namespace sim {
namespace {

std::string Text(const char* text) { return text ? text : ""; }

// Writes text at offset of a record, cut to field bytes with its NUL.
void Put(unsigned char* record, std::size_t offset, std::size_t field,
         const std::string& text) {
  std::size_t n = std::min(text.size(), field - 1);
  std::memcpy(record + offset, text.data(), n);
  record[offset + n] = '\0';
}

constexpr std::size_t kPlanNameField = 40;
constexpr std::size_t kAirportIdentField = 64;

}  // namespace

std::map<std::string, std::string> HostModel::settings(
    const std::string& section) const {
  std::lock_guard<std::mutex> lock(mutex_);
  auto s = settings_.sections().find(section);
  return s == settings_.sections().end() ? std::map<std::string, std::string>()
                                         : s->second;
}

void HostModel::setSetting(const std::string& section, const std::string& key,
                           const std::string& value) {
  std::lock_guard<std::mutex> lock(mutex_);
  settings_.set(section, key, value);
}

void HostModel::timedMessage(const char* text, float seconds) {
  std::lock_guard<std::mutex> lock(mutex_);
  state_.notices.push_back({Text(text), seconds, state_.hostTime});
}

void HostModel::alert(const char* text) {
  std::lock_guard<std::mutex> lock(mutex_);
  state_.alerts.push_back(Text(text));
}

int HostModel::playSound(const char* file) {
  std::lock_guard<std::mutex> lock(mutex_);
  int handle = state_.nextSoundHandle++;
  state_.sounds.push_back({Text(file), handle, state_.hostTime});
  return handle;
}

int HostModel::querySound(int handle) {
  std::lock_guard<std::mutex> lock(mutex_);
  // Every sound lasts one second of host time.
  for (const auto& s : state_.sounds)
    if (s.handle == handle) return state_.hostTime - s.startedAt < 1.0 ? 1 : 0;
  return 0;
}

void HostModel::helpToggleA() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++state_.helpToggleA;
  state_.keyHelp = false;
}

void HostModel::helpToggleB() {
  std::lock_guard<std::mutex> lock(mutex_);
  ++state_.helpToggleB;
  state_.keyHelp = true;
}

void HostModel::readSettingInt(const char* section, const char* key,
                               int* value) {
  if (value == nullptr) return;
  std::lock_guard<std::mutex> lock(mutex_);
  std::string text;
  if (settings_.get(Text(section), Text(key), &text))
    *value = static_cast<int>(std::strtol(text.c_str(), nullptr, 10));
}

void HostModel::readSettingText(const char* section, const char* key,
                                char* buffer, int size) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string text;
  if (settings_.get(Text(section), Text(key), &text))
    CopyOut(text, buffer, size);
}

void HostModel::writeSettingInt(const char* section, const char* key,
                                int value) {
  std::lock_guard<std::mutex> lock(mutex_);
  settings_.set(Text(section), Text(key), std::to_string(value));
}

void HostModel::writeSettingText(const char* section, const char* key,
                                 const char* value) {
  std::lock_guard<std::mutex> lock(mutex_);
  settings_.set(Text(section), Text(key), Text(value));
}

void HostModel::timeOfDay(talvix::TimeOfDay* out) {
  if (out == nullptr) return;
  std::lock_guard<std::mutex> lock(mutex_);
  *out = talvix::TimeOfDay{};
  out->hour = state_.timeHour;
  out->minute = state_.timeMinute;
}

void* HostModel::getFlightPlan() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (state_.plan.empty()) return nullptr;
  std::vector<std::unique_ptr<unsigned char[]>> nodes;
  for (const auto& p : state_.plan) {
    auto node = std::make_unique<unsigned char[]>(talvix::kPlanNodeSize);
    std::memset(node.get(), 0, talvix::kPlanNodeSize);
    std::int32_t kind = p.kind;
    std::memcpy(node.get() + talvix::kPlanNodeKindOffset, &kind, sizeof kind);
    std::memcpy(node.get() + talvix::kPlanNodeSpeedOffset, &p.speed,
                sizeof p.speed);
    std::memcpy(node.get() + talvix::kPlanNodeAltitudeOffset, &p.altitude,
                sizeof p.altitude);
    if (p.kind != 2)
      Put(node.get(), talvix::kPlanNodeName3Offset, kPlanNameField, p.name);
    if (p.kind != 3)
      Put(node.get(), talvix::kPlanNodeName2Offset, kPlanNameField, p.name);
    if (!nodes.empty()) {
      void* next = node.get();
      std::memcpy(nodes.back().get() + talvix::kPlanNodeNextOffset, &next,
                  sizeof next);
    }
    nodes.push_back(std::move(node));
  }
  void* first = nodes.front().get();
  plans_[first] = std::move(nodes);
  return first;
}

void HostModel::releaseFlightPlan(void* firstNode) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (firstNode == nullptr) return;
  if (plans_.erase(firstNode) == 0)
    fault("release flight plan: not a plan of this host");
}

// The record's first word says whether it holds an airport: 1 does.
void HostModel::fillAirportRecord(talvix::AirportRecord* out,
                                  std::string HostState::*airport) {
  if (out == nullptr) return;
  std::lock_guard<std::mutex> lock(mutex_);
  std::memset(out->bytes, 0, sizeof out->bytes);
  const std::string& ident = state_.*airport;
  if (ident.empty()) return;
  const std::int32_t flag = state_.airportRecordFlag;
  std::memcpy(out->bytes, &flag, sizeof flag);
  Put(out->bytes, talvix::kAirportIdentOffset, kAirportIdentField, ident);
}

void HostModel::departureAirport(talvix::AirportRecord* out) {
  fillAirportRecord(out, &HostState::departure);
}

void HostModel::destinationAirport(talvix::AirportRecord* out) {
  fillAirportRecord(out, &HostState::destination);
}

void HostModel::nearestAirport(const talvix::HostPosition* position,
                               talvix::NearestAirportRecord* out,
                               std::int32_t* unused) {
  if (unused) *unused = 0;
  if (out == nullptr) return;
  std::memset(out->bytes, 0, sizeof out->bytes);
  if (position == nullptr) return;
  std::lock_guard<std::mutex> lock(mutex_);
  const Airport* a = NearestAirport(airports_, position->lat, position->lon);
  if (a == nullptr) return;
  Put(out->bytes, talvix::kNearestIdentOffset, talvix::kNearestIdentSize,
      a->ident);
  std::memcpy(out->bytes + talvix::kNearestElevationOffset, &a->elevationFt,
              sizeof a->elevationFt);
}

void HostModel::loadMetarFile(const char* path) {
  std::string file = Text(path);
  std::ifstream in(file);
  std::stringstream text;
  if (in) text << in.rdbuf();
  std::lock_guard<std::mutex> lock(mutex_);
  state_.metarFiles.push_back(file);
  if (!in) {
    fault("load METAR file: cannot read " + file);
    return;
  }
  ReadMetar(text.str(), &state_.weather, &state_.weatherExtras);
}

void HostModel::getWeather(talvix::WeatherRecord* out) {
  if (out == nullptr) return;
  std::lock_guard<std::mutex> lock(mutex_);
  *out = state_.weather;
}

void HostModel::setWeather(const talvix::WeatherRecord* record) {
  if (record == nullptr) return;
  std::lock_guard<std::mutex> lock(mutex_);
  state_.weather = *record;
}

void HostModel::getWinds(talvix::WindsAloftRecord* out) {
  if (out == nullptr) return;
  std::lock_guard<std::mutex> lock(mutex_);
  *out = state_.winds;
}

void HostModel::setWinds(const talvix::WindsAloftRecord* record) {
  if (record == nullptr) return;
  std::lock_guard<std::mutex> lock(mutex_);
  state_.winds = *record;
}

void* HostModel::loadLibrary(const char* name) {
  std::string wanted = Text(name);
  std::string file =
      wanted.empty() || wanted.find_first_of("/\\") != std::string::npos
          ? ""
          : FindFileNoCase(root_, LibraryFileName(wanted));
  std::unique_ptr<SharedLibrary> library;
  if (!file.empty()) library = SharedLibrary::open(file, nullptr);
  std::lock_guard<std::mutex> lock(mutex_);
  state_.libraries.push_back({"load", wanted, library != nullptr});
  if (!library) return nullptr;
  void* handle = library.get();
  libraries_[handle] = std::move(library);
  return handle;
}

void* HostModel::findExport(void* handle, const char* name) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto it = libraries_.find(handle);
  void* found = it == libraries_.end() || name == nullptr
                    ? nullptr
                    : it->second->symbol(name);
  state_.libraries.push_back({"find", Text(name), found != nullptr});
  return found;
}

void HostModel::releaseLibrary(void* handle) {
  std::unique_ptr<SharedLibrary> library;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = libraries_.find(handle);
    bool known = it != libraries_.end();
    std::string name = known ? it->second->path() : "";
    state_.libraries.push_back(
        {"release", std::filesystem::path(name).filename().string(), known});
    if (!known) return;
    library = std::move(it->second);
    libraries_.erase(it);
  }
  // Unloaded outside the lock: its clean-up code may call back.
}

}  // namespace sim
