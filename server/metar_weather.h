// The weather profile of a METAR report, as a client's "#WX" request gets
// it: the altimeter and temperature ("#TD"), the two lowest cloud layers and
// any thunderstorm ("#CD") and the surface wind ("#WD").
#pragma once

#include <string>
#include <vector>

#include "server/world_file.h"

namespace netserver {

// What a METAR report gives; a part it lacks is marked missing.
struct MetarWeather {
  WorldWeather weather;
  bool pressure = false;
  bool clouds = false;
  bool winds = false;  // the surface wind is weather.winds[0]
};
MetarWeather parseMetarWeather(const std::string& report);

// The lines for one addressee, in the order "#TD", "#CD", "#WD"; a line
// whose part the report lacks is left out (no altimeter, no cloud group nor
// clear sky, no wind group).
std::vector<std::string> metarWeatherLines(const std::string& report,
                                           const std::string& addressee);

}  // namespace netserver
