// Packs the user aircraft's attitude into the word of the "@" line.
#include <cmath>

#include "core/host.h"
#include "protocol/own_aircraft.h"

namespace talvix {
namespace {

constexpr float kDegreesPerRadian = 57.295776f;  // 180/pi in single precision
constexpr float kStepsPerDegree = 2.8444445f;    // 1024/360

// Degrees rounded to single precision, normalised into 0..360 by the host,
// then scaled to 1024 steps per turn.
std::uint32_t Field(double radians) {
  float degrees = static_cast<float>(radians * kDegreesPerRadian);
  float normalised = host::Normalise360(degrees);
  float steps = normalised * kStepsPerDegree;
  if (!std::isfinite(steps) || steps < 0.0f || steps >= 4294967296.0f) {
    return 0;
  }
  // A tiny negative angle normalises to 360.0 in single precision: a full
  // turn is the same as none, and a field must never spill into its
  // neighbour.
  return static_cast<std::uint32_t>(steps) % 1024u;
}

}  // namespace

std::uint32_t PackOrientation(const HostVector& radians) {
  std::uint32_t pitch = Field(radians.x);
  std::uint32_t bank = Field(radians.z);
  std::uint32_t heading = Field(radians.y);
  return ((((pitch << 10) | bank) << 10) | heading) << 2;
}

std::uint32_t PackAttitude() {
  AircraftRef reference{};
  host::UserAircraft(&reference);
  HostVector orientation{};
  host::GetOrientation(reference, &orientation);
  return PackOrientation(orientation);
}

}  // namespace talvix
