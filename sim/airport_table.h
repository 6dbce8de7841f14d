// The airport table of the simulator's folder: one airport a line,
// "ICAO latitude longitude elevation" (degrees, signed; feet). Lines that
// start with "#" and lines that do not parse are skipped.
#pragma once

#include <string>
#include <vector>

namespace sim {

struct Airport {
  std::string ident;
  double latDeg = 0.0;
  double lonDeg = 0.0;
  float elevationFt = 0.0f;
};

std::vector<Airport> ReadAirportTable(const std::string& path);

// The airport nearest to a position in arc-seconds (longitude either signed
// or 0..360 east); null for an empty table.
const Airport* NearestAirport(const std::vector<Airport>& airports,
                              double latArcSec, double lonArcSec);

}  // namespace sim
