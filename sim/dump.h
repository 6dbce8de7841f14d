// The host's whole state as JSON, for tests and people outside the
// process. Four-character codes appear as their four characters.
#pragma once

#include <nlohmann/json.hpp>

#include "core/host_services.h"
#include "sim/host_model.h"

namespace sim {

nlohmann::json DumpState(const HostModel& model,
                         const talvix::AboutRecord& about);

nlohmann::json DumpControl(const Control& control);

}  // namespace sim
