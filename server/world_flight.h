// The flying of one world pilot: steered second by second along its route
// at a standard-rate turn (bank no more than 25 degrees), climbing or
// descending to reach each waypoint's altitude, so that successive reports
// agree with the speed, heading and climb they carry.
#pragma once

#include "server/demo_flight.h"
#include "server/world_file.h"
#include "server/world_route.h"

namespace netserver {

struct FlightState {
  GeoPoint position;
  double altitudeFt;
  double speedKt;
  double headingDeg;  // 0 to 360
  double pitchDeg;    // nose up positive
  double bankDeg;     // right wing down positive
};

class PilotFlight {
 public:
  PilotFlight(const WorldPilot& pilot, const World& world);

  // Flies on to the given world time (seconds since the world started; it
  // only goes forward) and returns where the pilot is then.
  const FlightState& at(double worldSeconds);

 private:
  void restart();
  void step(double seconds);

  DemoPilot orbit_;  // orbits only
  bool isOrbit_;
  Route route_;
  double offsetSeconds_;
  double time_ = 0;
  std::size_t next_ = 1;
  FlightState state_{};
};

// "@N:UAL123:4521:1:37.61890:-122.37500:3500:250:<attitude>:0"
std::string reportLine(const WorldPilot& pilot, const FlightState& state);

}  // namespace netserver
