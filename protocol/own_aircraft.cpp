// Reads the user's aircraft into the own aircraft state on every idle call.
#include "protocol/own_aircraft.h"

#include <cstring>

#include "atc/com_tracking.h"
#include "core/float_evaluation.h"
#include "core/host.h"
#include "ui/shared_values.h"

namespace talvix {
namespace {

OwnAircraftState g_own{};

// 1/3600 as written; the product is rounded to single precision. (With
// the factor itself rounded to single precision first, 237.6908 degrees
// east would come out as -122.30919 instead of -122.30920.)
constexpr double kDegreesPerArcSecond = 0.00027777778;
constexpr float kKnotsPerFootPerSecond = 0.5924951f;  // 3600/6076

}  // namespace

OwnAircraftState& OwnAircraft() { return g_own; }
const HostPosition& OwnRawPosition() { return g_own.raw; }

float LongitudeDegrees(double eastArcSeconds) {
  // Rounded to single precision before the comparison, so 180 stays 180.
  float degrees = static_cast<float>(eastArcSeconds * kDegreesPerArcSecond);
  if (degrees > 180.0f) degrees = -(360.0f - degrees);
  return degrees;
}

float KnotsFromFeetPerSecond(float feetPerSecond) {
  if (!(feetPerSecond > 0.0f)) feetPerSecond = 0.0f;  // negative or NaN
  return feetPerSecond * kKnotsPerFootPerSecond;
}

void UpdateFlyParameters() {
  if (!host::UserAircraftPresent()) return;

  host::UserAircraft(&g_own.reference);
  if (std::memcmp(&g_own.reference, &g_own.rememberedReference,
                  sizeof(AircraftRef)) != 0) {
    FindTransponder();
    g_own.rememberedReference = g_own.reference;
  }

  g_own.modeLetter = ReadTransponderMode();
  g_own.transponderCode =
      host::GetRadio(g_own.reference, kRadioTransponder, 1, 0);

  host::GetPosition(g_own.reference, &g_own.raw);
  g_own.latitude = static_cast<float>(g_own.raw.lat * kDegreesPerArcSecond);
  g_own.longitude = LongitudeDegrees(g_own.raw.lon);
  g_own.altitude = static_cast<float>(g_own.raw.alt - AltitudeOffset());
  g_own.speed = KnotsFromFeetPerSecond(host::GetSpeed(g_own.reference));

  // Reading the frequency text is what drives the COM tracking.
  char frequency[6];
  ComFrequencyText(frequency);
}

}  // namespace talvix
