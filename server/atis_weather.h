// A controller's ATIS says the weather of its airport's METAR: the
// altimeter ("ALTIMETER 3012") and the wind ("WIND 280 AT 12") written in
// the world's text are replaced by the report's.
#pragma once

#include <string>

namespace netserver {

// The ATIS with the report's altimeter and surface wind; a part the report
// lacks, or the ATIS never mentions, stays as written.
std::string atisWithMetar(const std::string& atis, const std::string& report);

}  // namespace netserver
