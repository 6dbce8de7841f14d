// The COM radio: reading it on every idle call, following the user's
// changes, setting it, and the five-digit frequency text of the protocol.
#include "atc/com_tracking.h"

#include <cmath>
#include <string>

#include "core/host.h"
#include "core/number_format.h"

namespace talvix {

namespace {
float g_lastCom = 118.0f;
// Cleared when the plug-in sets the radio itself, so that the change it
// caused is not taken for the user's.
bool g_trackingArmed = true;
}  // namespace

float RoundToTwoDecimals(float value) {
  float magnitude = std::fabs(value);
  float whole = std::floor(magnitude);
  float hundredths = (magnitude - whole) * 100.0f;
  float wholeHundredths = std::floor(hundredths);
  if (hundredths - wholeHundredths >= 0.5f) wholeHundredths += 1.0f;
  float rounded = whole + wholeHundredths / 100.0f;
  return value < 0.0f ? -rounded : rounded;
}

float ReadComFrequency() {
  AircraftRef reference{};
  host::UserAircraft(&reference);
  float frequency =
      RoundToTwoDecimals(host::GetRadio(reference, kRadioCom, 1, 0));
  // A reading that is not a number would count as a change every time.
  if (!std::isfinite(frequency)) return g_lastCom;
  if (frequency == g_lastCom) return frequency;

  if (g_trackingArmed) {
    const AtcStation* station = FindStationByFrequency(frequency);
    if (station != nullptr) SwitchToStation(station, false);
  } else {
    g_trackingArmed = true;
  }
  g_lastCom = frequency;
  return frequency;
}

void ComFrequencyText(char out[6]) {
  std::string text = FormatFloat(ReadComFrequency(), "%.3f");
  // Characters 2-3 and 5-7 of "122.800"; a shorter text gives fewer digits
  // instead of a read past its end.
  std::string digits;
  for (std::size_t position : {1u, 2u, 4u, 5u, 6u}) {
    if (position < text.size()) digits += text[position];
  }
  for (std::size_t i = 0; i < 5; ++i)
    out[i] = i < digits.size() ? digits[i] : '\0';
  out[5] = '\0';
}

void TuneCom(float frequency) {
  // The radio is never handed a value that is not a number: tracking would
  // see it change on every read.
  float rounded = RoundToTwoDecimals(frequency);
  if (!std::isfinite(rounded)) return;
  g_trackingArmed = false;
  AircraftRef reference{};
  host::UserAircraft(&reference);
  host::SetRadio(reference, kRadioCom, 1, rounded);
}

}  // namespace talvix
