#include "sim/tui/flight.h"

#include <algorithm>
#include <cmath>

#include "sim/geometry.h"

namespace sim::tui {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTurnRate = 3.0;      // degrees a second: a rate one turn
constexpr double kTurnBank = 25.0;     // degrees of bank while turning
constexpr double kClimbRate = 25.0;    // feet a second: 1500 ft a minute
constexpr double kClimbPitch = 5.0;    // degrees
constexpr double kAcceleration = 3.0;  // knots a second
constexpr double kArcSecondsPerFoot = 60.0 / kFeetPerNauticalMile;

double Degrees(double radians) { return radians * 180.0 / kPi; }
double Radians(double degrees) { return degrees * kPi / 180.0; }

// Moves value towards target by at most step.
double Towards(double value, double target, double step) {
  if (std::fabs(target - value) <= step) return target;
  return value + (target > value ? step : -step);
}

}  // namespace

FlightTargets CurrentTargets(const UserAircraft& user) {
  const double knots = user.speed / kFeetPerSecondPerKnot;
  return {Normalise360(static_cast<float>(Degrees(user.orientation.y))),
          user.position.alt, knots,
          knots + 1e-3 < kTakeOffKnots ? user.position.alt : 0.0};
}

void Fly(UserAircraft& user, const FlightTargets& t, double dt) {
  if (dt <= 0) return;
  const double heading = Degrees(user.orientation.y);
  const double turn = Normalise180(static_cast<float>(t.headingDeg - heading));
  const double step = std::min(std::fabs(turn), kTurnRate * dt);
  const double newHeading =
      Normalise360(static_cast<float>(heading + (turn < 0 ? -step : step)));
  user.orientation.y = Radians(newHeading);

  double knots = user.speed / kFeetPerSecondPerKnot;
  knots = Towards(knots, std::max(0.0, t.knots), kAcceleration * dt);
  user.speed = static_cast<float>(knots * kFeetPerSecondPerKnot);

  const double alt = std::max(user.position.alt, t.groundFt);
  const bool onGround = alt <= t.groundFt;
  const bool banked = !onGround && std::fabs(turn) >= 0.5;
  user.orientation.z =
      banked ? Radians(turn < 0 ? -kTurnBank : kTurnBank) : 0.0;
  // The speed is kept in single precision: 60 kt reads 59.99999...
  const bool flying = !onGround || knots + 1e-3 >= kTakeOffKnots;
  const double newAlt =
      flying ? std::max(t.groundFt, Towards(alt, t.altitudeFt, kClimbRate * dt))
             : alt;
  user.orientation.x = newAlt > alt   ? Radians(kClimbPitch)
                       : newAlt < alt ? Radians(-kClimbPitch / 2)
                                      : 0.0;
  user.position.alt = newAlt;

  const double feet = user.speed * dt;
  const double lat = user.position.lat;
  const double cosLat = std::max(0.01, std::cos(Radians(lat / 3600.0)));
  user.position.lat += feet * std::cos(user.orientation.y) * kArcSecondsPerFoot;
  double lon = user.position.lon + feet * std::sin(user.orientation.y) *
                                       kArcSecondsPerFoot / cosLat;
  if (lon < 0) lon += 360.0 * 3600.0;
  if (lon >= 360.0 * 3600.0) lon -= 360.0 * 3600.0;
  user.position.lon = lon;
}

}  // namespace sim::tui
