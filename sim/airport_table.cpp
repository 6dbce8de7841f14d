#include "sim/airport_table.h"

#include <fstream>
#include <sstream>

#include "sim/geometry.h"

namespace sim {

std::vector<Airport> ReadAirportTable(const std::string& path) {
  std::vector<Airport> airports;
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    Airport a;
    if (fields >> a.ident >> a.latDeg >> a.lonDeg >> a.elevationFt)
      airports.push_back(a);
  }
  return airports;
}

const Airport* NearestAirport(const std::vector<Airport>& airports,
                              double latArcSec, double lonArcSec) {
  const Airport* best = nullptr;
  double bestFeet = 0.0;
  for (const auto& a : airports) {
    double feet = DistanceFeet(latArcSec, lonArcSec, a.latDeg * 3600.0,
                               a.lonDeg * 3600.0);
    if (!best || feet < bestFeet) {
      best = &a;
      bestFeet = feet;
    }
  }
  return best;
}

}  // namespace sim
