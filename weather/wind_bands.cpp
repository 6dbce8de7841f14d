#include "weather/wind_bands.h"

#include <algorithm>

#include "core/host_services.h"

namespace talvix {
namespace {
constexpr int kBandDepth = 3000;
constexpr int kTopBand = kWindBands - 1;
constexpr int kTopBandCeiling = 60000;  // inclusive
}  // namespace

bool BandTakesGroup(int band, int firstAltitude, int secondAltitude) {
  if (band < 0 || band > kTopBand) return false;
  const int bottom = std::min(firstAltitude, secondAltitude);
  const int top = std::max(firstAltitude, secondAltitude);
  const int lo = kBandDepth * (band + 1);
  if (band == kTopBand) {
    if (bottom == top) return bottom >= lo && bottom <= kTopBandCeiling;
    return bottom <= kTopBandCeiling && top > lo;
  }
  const int hi = lo + kBandDepth;
  if (bottom == top) return bottom >= lo && bottom < hi;
  return bottom < hi && top > lo;
}

}  // namespace talvix
