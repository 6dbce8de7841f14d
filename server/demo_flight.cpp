#include "server/demo_flight.h"

#include <cmath>
#include <cstdio>

namespace netserver {
namespace {

constexpr double kPi = 3.14159265358979323846;

double normalised(double degrees) {
  double result = std::fmod(degrees, 360.0);
  if (result < 0) result += 360.0;
  return result;
}

std::uint32_t scaled(double degrees) {
  const auto value =
      static_cast<std::uint32_t>(normalised(degrees) * (1024.0 / 360.0));
  return value > 1023 ? 1023 : value;
}

}  // namespace

DemoPosition positionAt(const DemoPilot& pilot, double elapsedSeconds) {
  const double circumferenceNm = 2 * kPi * pilot.radiusNm;
  const double turns =
      (pilot.speedKt * elapsedSeconds / 3600.0) / circumferenceNm;
  const double bearing =
      normalised(turns * 360.0);  // from the centre to the aircraft
  const double bearingRad = bearing * kPi / 180.0;
  const double radiusDeg = pilot.radiusNm / 60.0;
  DemoPosition position;
  position.latitude = pilot.centerLatitude + radiusDeg * std::cos(bearingRad);
  position.longitude =
      pilot.centerLongitude + radiusDeg * std::sin(bearingRad) /
                                  std::cos(pilot.centerLatitude * kPi / 180.0);
  position.headingDeg = normalised(bearing + 90.0);
  // Bank of a steady turn at this speed and radius.
  const double speedFps = pilot.speedKt * 6076.0 / 3600.0;
  const double radiusFt = pilot.radiusNm * 6076.0;
  position.bankDeg =
      std::atan(speedFps * speedFps / (radiusFt * 32.174)) * 180.0 / kPi;
  return position;
}

std::uint32_t packAttitude(double pitchDeg, double bankDeg, double headingDeg) {
  return (((scaled(pitchDeg) << 10) | scaled(bankDeg)) << 10 |
          scaled(headingDeg))
         << 2;
}

std::string positionReport(char modeLetter, const std::string& callsign,
                           int squawk, double latitude, double longitude,
                           double altitudeFt, double speedKt,
                           std::uint32_t attitude) {
  char line[160];
  std::snprintf(line, sizeof line, "@%c:%s:%04d:1:%.5f:%.5f:%.0f:%.0f:%u:0",
                modeLetter, callsign.c_str(), squawk, latitude, longitude,
                altitudeFt, speedKt, static_cast<unsigned>(attitude));
  return line;
}

std::string positionLine(const DemoPilot& pilot, const DemoPosition& position) {
  return positionReport(
      pilot.modeLetter, pilot.callsign, pilot.squawk, position.latitude,
      position.longitude, pilot.altitudeFt, pilot.speedKt,
      packAttitude(0.0, position.bankDeg, position.headingDeg));
}

}  // namespace netserver
