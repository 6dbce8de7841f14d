// Single-precision products that are truncated to integers (speeds in knots,
// positions, altitudes, the attitude word) must round as they do on every
// other build. An x87 build keeps them in extended precision and a product
// can truncate one lower, so such a build is refused here: the 32-bit
// Windows build computes with SSE (-msse2 -mfpmath=sse).
#pragma once

#include <cfloat>

static_assert(FLT_EVAL_METHOD == 0,
              "floats must be evaluated in plain single and double precision "
              "(build 32-bit x86 with -msse2 -mfpmath=sse)");
