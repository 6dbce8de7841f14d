// The METAR report as the plug-in refines it: FilterMetar prepares the text
// for the simulator's own reader, DecodeMetar then sets what that reader
// leaves alone. Both take any bytes safely.
#pragma once

#include <cstdint>
#include <string>

#include "core/host_services.h"

namespace talvix {

// What the weather record holds while a thunderstorm is reported.
constexpr std::int32_t kThunderstormValue = 8;
constexpr std::int32_t kThunderstormFlag = 8192;

// Cuts the remarks, drops " AUTO " and, when the report is for the airport
// in nearest, raises every three-digit cloud base by the field elevation in
// hundreds of feet. The text may grow.
void FilterMetar(std::string& text, const NearestAirportRecord& nearest);

// Reads the simulator's current weather, sets wind, gust, thunderstorm,
// altimeter and cloud thickness from the report (up to its first NUL) and
// writes the record back. A report without the groups the decoder needs
// throws ost::StringTokenizer::NoSuchElementException before anything is
// written.
void DecodeMetar(const std::string& text);

// The identifier of a nearest-airport record, read no further than its
// field; the field elevation in feet.
std::string NearestIdentifier(const NearestAirportRecord& nearest);
float NearestElevation(const NearestAirportRecord& nearest);

// The three cloud thicknesses drawn for one decode, 700 to 3000 each, from
// the generator seeded with seed.
struct CloudThicknesses {
  std::int32_t layer[3];
};
CloudThicknesses DrawCloudThicknesses(unsigned seed);

}  // namespace talvix
