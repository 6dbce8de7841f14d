#include <cstring>

#include "weather/metar.h"
#include "weather/weather_state.h"

namespace talvix {

NearestAirportRecord& LastNearestAirport() {
  static NearestAirportRecord record{};
  return record;
}

std::string NearestIdentifier(const NearestAirportRecord& nearest) {
  const char* field =
      reinterpret_cast<const char*>(nearest.bytes + kNearestIdentOffset);
  return std::string(field, strnlen(field, kNearestIdentSize));
}

float NearestElevation(const NearestAirportRecord& nearest) {
  float feet = 0.0f;
  std::memcpy(&feet, nearest.bytes + kNearestElevationOffset, sizeof feet);
  return feet;
}

}  // namespace talvix
