// The user's aircraft flies by itself: straight on at its speed and
// heading, turning, climbing and speeding up towards what the person set.
#pragma once

#include "sim/model_types.h"

namespace sim::tui {

struct FlightTargets {
  double headingDeg = 0.0;
  double altitudeFt = 0.0;
  double knots = 0.0;
};

// What the aircraft is doing now, as targets to hold.
FlightTargets CurrentTargets(const UserAircraft& user);

// Moves the aircraft on by dt seconds towards the targets.
void Fly(UserAircraft& user, const FlightTargets& targets, double dt);

constexpr double kFeetPerSecondPerKnot = 1.6878;

}  // namespace sim::tui
