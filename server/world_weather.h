// The network weather lines of the world: altimeter ("#TD"), cloud layers
// ("#CD") and winds aloft ("#WD"), sent from SERVER to one client.
#pragma once

#include <string>
#include <vector>

#include "server/world_file.h"

namespace netserver {

// The three lines of the given burst (0 first); the altimeter drifts by a
// hundredth now and then so that later bursts are seen to change it.
std::vector<std::string> weatherLines(const WorldWeather& weather,
                                      const std::string& addressee,
                                      unsigned burst);

}  // namespace netserver
