#include "server/world_route.h"

#include <algorithm>
#include <cmath>

namespace netserver {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRad = kPi / 180.0;

}  // namespace

GeoPoint moved(GeoPoint from, double bearing, double distance) {
  const double degrees = distance / 60.0;
  return {from.latitude + degrees * std::cos(bearing * kRad),
          from.longitude + degrees * std::sin(bearing * kRad) /
                               std::cos(from.latitude * kRad)};
}

double distanceNm(GeoPoint from, GeoPoint to) {
  const double north = (to.latitude - from.latitude) * 60.0;
  const double east =
      (to.longitude - from.longitude) * 60.0 * std::cos(from.latitude * kRad);
  return std::hypot(north, east);
}

double bearingDeg(GeoPoint from, GeoPoint to) {
  const double north = to.latitude - from.latitude;
  const double east =
      (to.longitude - from.longitude) * std::cos(from.latitude * kRad);
  const double bearing = std::atan2(east, north) / kRad;
  return bearing < 0 ? bearing + 360.0 : bearing;
}

Route routeFor(const WorldPilot& pilot, const World& world) {
  Route route;
  const WorldRunway* runway = world.runway(pilot.runway);
  const double elevation = world.elevationFt;
  const double speed = pilot.speedKt;
  const double altitude = pilot.altitudeFt;
  auto& points = route.waypoints;
  if (pilot.kind == FlightKind::Overflight) {
    const GeoPoint over{pilot.latitude, pilot.longitude};
    points.push_back({moved(over, pilot.courseDeg + 180, 40), altitude, speed});
    points.push_back({moved(over, pilot.courseDeg, 40), altitude, speed});
    return route;
  }
  if (runway == nullptr) return route;
  const GeoPoint threshold{runway->latitude, runway->longitude};
  const double heading = runway->headingDeg;
  if (pilot.kind == FlightKind::Circuit) {
    // Touch and go, climb out upwind, then crosswind, downwind, base and a
    // two-mile final back to the threshold.
    const double side = heading + (pilot.rightHand ? 90 : -90);
    const GeoPoint upwind = moved(threshold, heading, 3.0);
    const GeoPoint finalStart = moved(threshold, heading + 180, 2.0);
    route.loops = true;
    points.push_back({threshold, elevation + 30, speed * 0.8});
    points.push_back({upwind, elevation + (altitude - elevation) * 0.6, speed});
    points.push_back({moved(upwind, side, 1.5), altitude, speed});
    points.push_back({moved(threshold, side, 1.5), altitude, speed});
    points.push_back(
        {moved(finalStart, side, 1.5), altitude - 300, speed * 0.9});
    points.push_back({finalStart, elevation + 650, speed * 0.8});
  } else if (pilot.kind == FlightKind::Departure) {
    const GeoPoint climbOut = moved(threshold, heading, 5.0);
    const GeoPoint turned = moved(climbOut, pilot.courseDeg, 10.0);
    points.push_back({threshold, elevation + 30, 150});
    points.push_back({climbOut, elevation + 2500, 200});
    points.push_back({turned, std::min(altitude, 10000.0), 250});
    points.push_back({moved(turned, pilot.courseDeg, 50.0), altitude, speed});
  } else if (pilot.kind == FlightKind::Arrival) {
    // From the start to a point sixteen miles out on the centreline, then
    // down a three-degree slope from ten miles to the threshold.
    const double back = heading + 180;
    points.push_back(
        {moved(threshold, pilot.courseDeg, pilot.distanceNm), altitude, speed});
    points.push_back({moved(threshold, back, 16.0), elevation + 5000,
                      std::min(speed, 210.0)});
    points.push_back({moved(threshold, back, 10.0), elevation + 3000,
                      std::min(speed, 170.0)});
    points.push_back({threshold, elevation + 50, 135});
    points.push_back({moved(threshold, heading, 1.0), elevation, 60});
  }
  return route;
}

}  // namespace netserver
