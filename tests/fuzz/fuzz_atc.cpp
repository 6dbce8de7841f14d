// Controller reports and controllers leaving, as received lines.
#include <cstddef>
#include <cstdint>

#include "tests/fuzz/fuzz_host.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  talvix::fuzz::DispatchLines(data, size, {"%", "#DA"});
  return 0;
}
