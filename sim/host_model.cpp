// The model's core: its folder, settings and airports, the host's clock,
// the faults it records and the counters tests read. The objects live in
// host_model_objects.cpp, the radios and the message record in
// host_model_radio.cpp, the windows in host_model_windows.cpp.
#include "sim/host_model.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "sim/file_lookup.h"
#include "sim/plugin_loader.h"  // the libraries the model holds

namespace sim {

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

int HostModel::signature(int) { return kPluginSignature; }

}  // namespace sim
