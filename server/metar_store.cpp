#include "server/metar_store.h"

#include <cctype>
#include <fstream>
#include <utility>

namespace netserver {
namespace {

// The station name becomes part of a file path: only plain identifiers, so
// that "../x" or "/etc/passwd" never reach the file system.
bool isStationName(const std::string& station) {
  if (station.empty() || station.size() > 8) return false;
  for (const char c : station) {
    if (!std::isalnum(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::optional<std::string> firstLine(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string line;
  std::getline(in, line);
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
    line.pop_back();
  if (line.empty()) return std::nullopt;
  if (line.size() > MetarStore::kMaxReportLength)
    line.resize(MetarStore::kMaxReportLength);
  return line;
}

std::string upper(std::string text) {
  for (char& c : text)
    c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

}  // namespace

MetarStore::MetarStore(std::filesystem::path folder)
    : folder_(std::move(folder)) {}

std::optional<std::string> MetarStore::report(
    const std::string& station) const {
  if (folder_.empty() || !isStationName(station)) return std::nullopt;
  if (auto found = firstLine(folder_ / (station + ".txt"))) return found;
  const std::string upperStation = upper(station);
  if (upperStation != station)
    return firstLine(folder_ / (upperStation + ".txt"));
  return std::nullopt;
}

}  // namespace netserver
