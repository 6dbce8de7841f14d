// METAR reports served from a folder: <folder>/<STATION>.txt, first line.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace netserver {

class MetarStore {
 public:
  MetarStore() = default;  // no folder: no station has a report
  explicit MetarStore(std::filesystem::path folder);

  // The report for a station, or nothing when the station name is not a
  // plain identifier (letters and digits, at most 8) or has no file.
  std::optional<std::string> report(const std::string& station) const;
  bool hasFolder() const { return !folder_.empty(); }

  // Longest report handed out, so that the "$AR" answer stays one line.
  static constexpr std::size_t kMaxReportLength = 900;

 private:
  std::filesystem::path folder_;
};

}  // namespace netserver
