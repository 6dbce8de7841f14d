#include "server/world_weather.h"

#include <algorithm>

namespace netserver {

std::vector<std::string> weatherLines(const WorldWeather& weather,
                                      const std::string& addressee,
                                      unsigned burst) {
  static const int kDrift[] = {0, 1, 1, 0, -1, -1};
  const std::string head = "SERVER:" + addressee;
  // Eight values before the altimeter, which clients do not apply: the
  // surface temperature and dew point, then six unused.
  std::string pressure =
      "#TD" + head + ":" + std::to_string(weather.temperature) + ":" +
      std::to_string(weather.dewPoint) +
      ":0:0:0:0:0:0:" + std::to_string(weather.altimeter + kDrift[burst % 6]);
  std::string clouds = "#CD" + head;
  for (const auto& layer : weather.clouds) {
    for (const int value : layer) clouds += ":" + std::to_string(value);
    clouds += ":0:0";
  }
  clouds += ":" + std::to_string(weather.storm) + ":0:0:0:0";
  // Four groups of low and high altitude, direction, speed and two unread
  // values; missing layers repeat the last one (or calm air).
  std::string winds = "#WD" + head;
  for (std::size_t i = 0; i < 4; ++i) {
    WorldWindLayer layer{0, 0, 0, 0};
    if (!weather.winds.empty())
      layer = weather.winds[std::min(i, weather.winds.size() - 1)];
    winds += ":" + std::to_string(layer.lowFt) + ":" +
             std::to_string(layer.highFt) + ":" +
             std::to_string(layer.directionDeg) + ":" +
             std::to_string(layer.speedKt) + ":0:0";
  }
  return {pressure, clouds, winds};
}

}  // namespace netserver
