// FilterMetar: the text the simulator's own METAR reader gets.
#include <cmath>
#include <cstddef>

#include "core/number_format.h"
#include "core/text.h"
#include "weather/metar.h"

namespace talvix {
namespace {

// The single-precision constant, multiplied in double: 100 ft gives
// -0.99999998, which truncates to 0.
constexpr float kHundredsOfFeet = -0.01f;
constexpr const char* kCoverCodes[] = {"FEW", "SCT", "BKN", "OVC"};

// The field elevation in whole hundreds of feet, negated and truncated
// toward zero (100 ft gives 0). A value no airport has counts as sea level.
int CloudBaseDelta(float elevationFeet) {
  const double product =
      static_cast<double>(elevationFeet) * static_cast<double>(kHundredsOfFeet);
  if (!std::isfinite(product) || std::fabs(product) > 1.0e6) return 0;
  return static_cast<int>(product);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Raises the base after every occurrence of code, left to right. Only a
// base given as three digits is a height; "///" and the like stay.
void RaiseBases(std::string& text, const char* code, int delta) {
  const std::string cover(code);
  std::size_t at = text.find(cover);
  while (at != std::string::npos) {
    const std::size_t base = at + cover.size();
    if (base + 3 <= text.size() && IsDigit(text[base]) &&
        IsDigit(text[base + 1]) && IsDigit(text[base + 2])) {
      const int height = ParseInt(text.substr(base, 3));
      text.replace(base, 3, Format("%03d", height - delta));
    }
    at = text.find(cover, at + 1);
  }
}

}  // namespace

void FilterMetar(std::string& text, const NearestAirportRecord& nearest) {
  const std::string station = text.substr(0, 4);

  const std::size_t remarks = text.find(" RMK ");
  if (remarks != std::string::npos && remarks > 0) text.erase(remarks);

  // Searching again from the blank left behind also drops " AUTO AUTO ".
  for (std::size_t at = text.find(" AUTO "); at != std::string::npos;
       at = text.find(" AUTO ", at)) {
    text.replace(at, 6, " ");
  }

  if (station != NearestIdentifier(nearest)) return;
  const int delta = CloudBaseDelta(NearestElevation(nearest));
  for (const char* code : kCoverCodes) RaiseBases(text, code, delta);
}

}  // namespace talvix
