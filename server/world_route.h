// The path a world pilot flies, as waypoints built from its flight: a
// circuit around a runway, a departure climbing out, an arrival down the
// approach, an overflight at cruise.
#pragma once

#include <vector>

#include "server/world_file.h"

namespace netserver {

struct GeoPoint {
  double latitude;
  double longitude;
};

// Flat-earth steps, good for the few dozen miles around an airport.
GeoPoint moved(GeoPoint from, double bearingDeg, double distanceNm);
double distanceNm(GeoPoint from, GeoPoint to);
double bearingDeg(GeoPoint from, GeoPoint to);  // 0 to 360

struct Waypoint {
  GeoPoint point;
  double altitudeFt;
  double speedKt;  // to be reached at the waypoint
};

struct Route {
  std::vector<Waypoint> waypoints;
  // A circuit goes round again; any other flight starts over at its first
  // waypoint, as another flight under the same callsign.
  bool loops = false;
};

// The world must hold the pilot's runway (the parser makes sure of it).
// Orbits have no route: they fly the circles of the built-in demo.
Route routeFor(const WorldPilot& pilot, const World& world);

}  // namespace netserver
