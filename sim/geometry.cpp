#include "sim/geometry.h"

#include <algorithm>
#include <cmath>

namespace sim {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kRadiansPerArcSec = kPi / (180.0 * 3600.0);
// One arc-minute of the great circle is one nautical mile.
constexpr double kEarthRadiusFeet = kFeetPerNauticalMile * 60.0 * 180.0 / kPi;

}  // namespace

double DistanceFeet(double lat1ArcSec, double lon1ArcSec, double lat2ArcSec,
                    double lon2ArcSec) {
  double lat1 = lat1ArcSec * kRadiansPerArcSec;
  double lat2 = lat2ArcSec * kRadiansPerArcSec;
  double dLat = lat2 - lat1;
  double dLon = (lon2ArcSec - lon1ArcSec) * kRadiansPerArcSec;
  double h =
      std::sin(dLat / 2) * std::sin(dLat / 2) +
      std::cos(lat1) * std::cos(lat2) * std::sin(dLon / 2) * std::sin(dLon / 2);
  h = std::clamp(h, 0.0, 1.0);
  return 2.0 * kEarthRadiusFeet * std::asin(std::sqrt(h));
}

float Normalise360(float degrees) {
  if (!std::isfinite(degrees)) return 0.0f;
  float r = std::fmod(degrees, 360.0f);
  if (r < 0.0f) r += 360.0f;
  if (r >= 360.0f) r -= 360.0f;
  return r;
}

float Normalise180(float degrees) {
  float r = Normalise360(degrees);
  if (r >= 180.0f) r -= 360.0f;
  return r;
}

}  // namespace sim
