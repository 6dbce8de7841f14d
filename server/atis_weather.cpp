#include "server/atis_weather.h"

#include <cstdio>
#include <regex>

#include "server/metar_weather.h"

namespace netserver {

std::string atisWithMetar(const std::string& atis, const std::string& report) {
  static const std::regex altimeter(R"(\bALTIMETER \d{4}\b)");
  static const std::regex wind(R"(\bWIND (\d{3}|VRB) AT \d{1,3}\b)");
  const MetarWeather parsed = parseMetarWeather(report);
  std::string text = atis;
  char said[48];
  if (parsed.pressure) {
    std::snprintf(said, sizeof said, "ALTIMETER %04d",
                  parsed.weather.altimeter);
    text = std::regex_replace(text, altimeter, said);
  }
  if (parsed.winds) {
    const WorldWindLayer& surface = parsed.weather.winds.front();
    // The report's variable wind is kept as direction 0.
    if (surface.directionDeg == 0 && surface.speedKt > 0) {
      std::snprintf(said, sizeof said, "WIND VRB AT %d", surface.speedKt);
    } else {
      std::snprintf(said, sizeof said, "WIND %03d AT %d", surface.directionDeg,
                    surface.speedKt);
    }
    text = std::regex_replace(text, wind, said);
  }
  return text;
}

}  // namespace netserver
