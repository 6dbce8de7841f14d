#include "sim/tui/scope.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "sim/geometry.h"

namespace sim::tui {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kArcSecondsPerMile = 60.0;  // one arc-minute of latitude
constexpr double kLongestGuess = 10.0;       // seconds moved on, at most

bool SamePlace(const talvix::HostPosition& a, const talvix::HostPosition& b) {
  return a.lat == b.lat && a.lon == b.lon && a.alt == b.alt;
}

}  // namespace

std::string TargetType(const SimObject& object) {
  const std::string& label = object.names[1];
  std::size_t dash = label.rfind(" - ");
  if (dash != std::string::npos) {
    std::string code = label.substr(dash + 3);
    // A leading '~' marks a code the plug-in matched loosely.
    return !code.empty() && code[0] == '~' ? code.substr(1) : code;
  }
  std::string file = object.model;
  std::size_t slash = file.find_last_of("\\/");
  if (slash != std::string::npos) file = file.substr(slash + 1);
  file = file.substr(0, file.find('.'));
  for (char& c : file) c = static_cast<char>(std::toupper(c));
  return file;
}

std::vector<ScopeTarget> ScopeTracker::update(const HostState& s) {
  std::map<int, Seen> now;
  std::vector<ScopeTarget> targets;
  const double userLat = s.user.position.lat, userLon = s.user.position.lon;
  const double cosLat = std::cos(userLat / 3600.0 * kPi / 180.0);
  for (const SimObject& o : s.objects) {
    Seen seen{o.position, s.hostTime};
    auto old = seen_.find(o.id);
    if (old != seen_.end() && SamePlace(old->second.position, o.position))
      seen.since = old->second.since;
    now[o.id] = seen;
    const double moved =
        std::clamp(s.hostTime - seen.since, 0.0, kLongestGuess);
    // Velocity: x east, y up, z north, in feet per second.
    const double northFt = o.velocity.z * moved, eastFt = o.velocity.x * moved;
    ScopeTarget t;
    t.id = o.id;
    t.callsign = o.names[0].empty() ? "#" + std::to_string(o.id) : o.names[0];
    t.type = TargetType(o);
    t.northNm = (o.position.lat - userLat) / kArcSecondsPerMile +
                northFt / kFeetPerNauticalMile;
    const double dLon =
        Normalise180(static_cast<float>((o.position.lon - userLon) / 3600.0)) *
        3600.0;
    t.eastNm =
        dLon / kArcSecondsPerMile * cosLat + eastFt / kFeetPerNauticalMile;
    t.altitudeFt = o.position.alt + o.velocity.y * moved;
    t.headingDeg =
        Normalise360(static_cast<float>(o.orientation.y * 180.0 / kPi));
    targets.push_back(t);
  }
  seen_.swap(now);
  return targets;
}

double RowsPerMile(const Rect& area, double rangeNm) {
  if (rangeNm <= 0) return 0;
  const double halfRows = (area.height - 1) / 2.0;
  const double halfCols = (area.width - 1) / 2.0;
  return std::min(halfRows, halfCols / 2.0) / rangeNm;
}

bool ScopeCell(const Rect& area, double rangeNm, double eastNm, double northNm,
               int* row, int* col) {
  const double scale = RowsPerMile(area, rangeNm);
  const double centreRow = area.row + (area.height - 1) / 2.0;
  const double centreCol = area.col + (area.width - 1) / 2.0;
  const int r = static_cast<int>(std::lround(centreRow - northNm * scale));
  const int c = static_cast<int>(std::lround(centreCol + eastNm * scale * 2.0));
  if (!area.contains(r, c)) return false;
  *row = r;
  *col = c;
  return true;
}

}  // namespace sim::tui
