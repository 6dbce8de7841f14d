// The weather state: the nearest-airport record of the last request, all
// zero before the first.
#pragma once

#include "core/host_services.h"

namespace talvix {

NearestAirportRecord& LastNearestAirport();

}  // namespace talvix
