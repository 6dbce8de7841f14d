#include "server/world_crowd.h"

#include <cmath>
#include <cstdio>
#include <random>
#include <set>
#include <sstream>

namespace netserver {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMaxOrbitRadiusNm = 5.0;

std::string crowdCallsign(int n) {
  char text[16];
  std::snprintf(text, sizeof text, "CROWD%04d", n);
  return text;
}

}  // namespace

std::vector<CrowdType> readCrowdTypes(const std::string& csvText) {
  std::vector<CrowdType> types;
  std::istringstream lines(csvText);
  std::string line;
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::vector<std::string> fields;
    std::istringstream split(line);
    for (std::string field; std::getline(split, field, ',');)
      fields.push_back(field);
    if (fields.size() < 4 || fields[1].empty() || fields[3].size() != 1)
      continue;
    const char engine = fields[3][0];
    if (engine != 'J' && engine != 'T' && engine != 'P') continue;
    types.push_back({fields[1], engine});
  }
  return types;
}

void addCrowd(World& world, int count, const std::vector<CrowdType>& types) {
  std::mt19937 random(20240);  // the same crowd every time
  std::uniform_real_distribution<double> unit(0.0, 1.0);
  const CrowdType fallback{"C172", 'P'};
  std::set<std::string> taken;
  for (const auto& pilot : world.pilots) taken.insert(pilot.callsign);
  for (const auto& controller : world.controllers)
    taken.insert(controller.callsign);
  for (int n = 1, added = 0; added < count; ++n) {
    const std::string callsign = crowdCallsign(n);
    if (taken.count(callsign) != 0) continue;
    const CrowdType& type =
        types.empty() ? fallback : types[random() % types.size()];
    WorldPilot pilot;
    pilot.callsign = callsign;
    pilot.model = type.code;
    pilot.engineLetter = type.engineLetter;
    pilot.modeLetter = 'N';
    pilot.squawk = 1000 + n % 7000;
    pilot.kind = FlightKind::Orbit;
    // The circle's centre, spread evenly over the disc that keeps the
    // whole circle within the crowd's radius.
    pilot.distanceNm = 1.0 + (kMaxOrbitRadiusNm - 1.0) * unit(random);
    const double centreNm =
        (kCrowdRadiusNm - kMaxOrbitRadiusNm) * std::sqrt(unit(random));
    const double bearing = 2 * kPi * unit(random);
    pilot.latitude = world.latitude + centreNm / 60.0 * std::cos(bearing);
    pilot.longitude =
        world.longitude + centreNm / 60.0 * std::sin(bearing) /
                              std::cos(world.latitude * kPi / 180);
    // Levels every 500 ft; props low and slow, jets faster the higher.
    const int maxLevel = type.engineLetter == 'P' ? 24 : 80;
    pilot.altitudeFt = 1000 + 500 * static_cast<int>(unit(random) * maxLevel);
    pilot.speedKt = type.engineLetter == 'P'
                        ? 90 + static_cast<int>(60 * unit(random))
                        : 180 + pilot.altitudeFt / 150;
    pilot.offsetSeconds = 3600 * unit(random);  // somewhere on its circle
    world.pilots.push_back(pilot);
    ++added;
  }
}

}  // namespace netserver
