// The periodic weather request.
#pragma once

namespace talvix {

void handleWeatherRequest();

}  // namespace talvix
