#include "server/world_flight.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace netserver {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRad = kPi / 180.0;
constexpr double kGravityFps2 = 32.174;
constexpr double kMaxBankDeg = 25.0;
constexpr double kStandardRateDegPerS = 3.0;
constexpr double kStepSeconds = 1.0;

double fps(double knots) { return knots * 6076.0 / 3600.0; }

double signedAngle(double degrees) {
  double result = std::fmod(degrees, 360.0);
  if (result > 180) result -= 360;
  if (result <= -180) result += 360;
  return result;
}

double wrapped(double degrees) {
  double result = std::fmod(degrees, 360.0);
  return result < 0 ? result + 360.0 : result;
}

// Standard rate, or less where that would bank more than the limit.
double turnRateDegPerS(double speedKt) {
  const double limit = kGravityFps2 * std::tan(kMaxBankDeg * kRad) /
                       std::max(fps(speedKt), 1.0) / kRad;
  return std::min(kStandardRateDegPerS, limit);
}

}  // namespace

PilotFlight::PilotFlight(const WorldPilot& pilot, const World& world)
    : orbit_{pilot.callsign,
             pilot.modeLetter,
             pilot.squawk,
             pilot.latitude,
             pilot.longitude,
             pilot.distanceNm,
             pilot.altitudeFt,
             pilot.speedKt,
             "1",
             ""},
      isOrbit_(pilot.kind == FlightKind::Orbit),
      offsetSeconds_(pilot.offsetSeconds) {
  if (isOrbit_) return;
  route_ = routeFor(pilot, world);
  restart();
  for (double flown = 0; flown < offsetSeconds_; flown += kStepSeconds)
    step(kStepSeconds);
}

void PilotFlight::restart() {
  const auto& points = route_.waypoints;
  if (points.empty()) return;
  const Waypoint& first = points[0];
  state_.position = first.point;
  state_.altitudeFt = first.altitudeFt;
  state_.speedKt = first.speedKt;
  state_.headingDeg =
      points.size() > 1 ? bearingDeg(first.point, points[1].point) : 0;
  state_.pitchDeg = 0;
  state_.bankDeg = 0;
  next_ = points.size() > 1 ? 1 : 0;
}

void PilotFlight::step(double seconds) {
  const auto& points = route_.waypoints;
  if (points.size() < 2) return;
  const Waypoint& target = points[next_];
  const double toGo = distanceNm(state_.position, target.point);
  const double rate = turnRateDegPerS(state_.speedKt);
  const double radiusNm = state_.speedKt / 3600.0 / (rate * kRad);

  // Lead the turn onto the following leg; pass a waypoint left behind.
  const double offCourse = std::fabs(signedAngle(
      bearingDeg(state_.position, target.point) - state_.headingDeg));
  double lead = 0.15;
  const bool last = next_ + 1 == points.size();
  if (!last || route_.loops) {
    const Waypoint& after = points[last ? 0 : next_ + 1];
    const double turn = std::min(
        150.0, std::fabs(signedAngle(bearingDeg(target.point, after.point) -
                                     state_.headingDeg)));
    lead = std::max(lead, radiusNm * std::tan(turn / 2 * kRad));
  }
  if (toGo <= lead || (toGo < 2 * radiusNm && offCourse > 100)) {
    if (!last) {
      ++next_;
    } else if (route_.loops) {
      next_ = 0;
    } else {
      restart();
      return;
    }
  }

  const Waypoint& aim = points[next_];
  const double wanted =
      signedAngle(bearingDeg(state_.position, aim.point) - state_.headingDeg);
  const double turned = std::clamp(wanted, -rate * seconds, rate * seconds);
  state_.headingDeg = wrapped(state_.headingDeg + turned);
  const double turnRad = turned / seconds * kRad;
  state_.bankDeg =
      std::atan(fps(state_.speedKt) * turnRad / kGravityFps2) / kRad;

  const double speedChange =
      std::clamp(aim.speedKt - state_.speedKt, -1.5 * seconds, 1.5 * seconds);
  state_.speedKt += speedChange;

  // Climb or descend to be at the waypoint's altitude on arrival, within
  // what the aircraft can do at its speed.
  const double secondsToGo = std::max(
      distanceNm(state_.position, aim.point) / (state_.speedKt / 3600.0), 1.0);
  const double maxFps = std::max(500.0, state_.speedKt * 12.0) / 60.0;
  const double climbFps = std::clamp(
      (aim.altitudeFt - state_.altitudeFt) / secondsToGo, -maxFps, maxFps);
  state_.altitudeFt += climbFps * seconds;
  state_.pitchDeg = std::atan(climbFps / fps(state_.speedKt)) / kRad;

  state_.position = moved(state_.position, state_.headingDeg,
                          state_.speedKt * seconds / 3600.0);
}

const FlightState& PilotFlight::at(double worldSeconds) {
  if (isOrbit_) {
    const DemoPosition circle =
        positionAt(orbit_, worldSeconds + offsetSeconds_);
    state_ = {{circle.latitude, circle.longitude},
              static_cast<double>(orbit_.altitudeFt),
              static_cast<double>(orbit_.speedKt),
              circle.headingDeg,
              0,
              circle.bankDeg};
    return state_;
  }
  while (time_ + kStepSeconds <= worldSeconds) {
    step(kStepSeconds);
    time_ += kStepSeconds;
  }
  return state_;
}

std::string reportLine(const WorldPilot& pilot, const FlightState& state) {
  return positionReport(
      pilot.modeLetter, pilot.callsign, pilot.squawk, state.position.latitude,
      state.position.longitude, state.altitudeFt, state.speedKt,
      packAttitude(state.pitchDeg, state.bankDeg, state.headingDeg));
}

}  // namespace netserver
