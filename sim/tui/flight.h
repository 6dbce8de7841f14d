// The user's aircraft flies by itself: straight on at its speed and
// heading, turning, climbing and speeding up towards what the person set.
#pragma once

#include "sim/model_types.h"

namespace sim::tui {

struct FlightTargets {
  double headingDeg = 0.0;
  double altitudeFt = 0.0;
  double knots = 0.0;
  double groundFt = 0.0;  // the elevation of the field it started on
};

// Below this speed the aircraft stays on the ground.
constexpr double kTakeOffKnots = 60.0;

// What the aircraft is doing now, as targets to hold; the ground is where
// it stands when it is slower than the take-off speed (else sea level).
FlightTargets CurrentTargets(const UserAircraft& user);

// Moves the aircraft on by dt seconds towards the targets. On the ground it
// steers without bank and leaves the ground only at the take-off speed; in
// the air it banks into turns and never sinks below the ground.
void Fly(UserAircraft& user, const FlightTargets& targets, double dt);

constexpr double kFeetPerSecondPerKnot = 1.6878;

}  // namespace sim::tui
