// The METAR filter and decoder on arbitrary text. The first four bytes name
// the nearest airport and the next two give its elevation; the rest is the
// report.
#include <commoncpp/commoncpp.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "core/host_services.h"
#include "tests/fuzz/fuzz_host.h"
#include "weather/metar.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  if (size < 6) return 0;
  talvix::fuzz::StartHost();
  talvix::NearestAirportRecord nearest{};
  std::memcpy(nearest.bytes + talvix::kNearestIdentOffset, data, 4);
  const float elevation =
      static_cast<float>(static_cast<std::int16_t>(data[4] << 8 | data[5]));
  std::memcpy(nearest.bytes + talvix::kNearestElevationOffset, &elevation,
              sizeof elevation);
  std::string text(reinterpret_cast<const char*>(data) + 6, size - 6);
  talvix::FilterMetar(text, nearest);
  try {
    talvix::DecodeMetar(text);
  } catch (const ost::StringTokenizer::NoSuchElementException&) {
    // Too short a report: the handler's guard reports it.
  }
  talvix::fuzz::CheckAndReset();
  return 0;
}
