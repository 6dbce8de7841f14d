// The simulator's own small METAR reader: wind, visibility, cloud groups
// (FEW/SCT/BKN/OVC with their base), temperature, altimeter, thunderstorm.
// Everything after "RMK" is ignored.
#pragma once

#include <string>

#include "core/host_services.h"
#include "sim/model_types.h"

namespace sim {

// Cloud coverage codes of the weather record.
constexpr int kCoverFew = 2, kCoverScattered = 3, kCoverBroken = 4,
              kCoverOvercast = 6;

// Applies the report to the record: the three cloud layers are replaced by
// the report's first three groups, the other fields only when the report
// has them. Returns false when no group of the text was understood.
bool ReadMetar(const std::string& text, talvix::WeatherRecord* record,
               WeatherExtras* extras);

}  // namespace sim
