// Numbers in received lines and typed text: decimal only, like atoi.
#include <gtest/gtest.h>

#include "core/text.h"

namespace talvix {
namespace {

TEST(NumberReadingTest, OnlyTheDecimalFormIsRead) {
  const struct {
    const char* text;
    double value;
  } cases[] = {
      {"37.6189", 37.6189},
      {" -122.5xyz", -122.5},
      {"+.5", 0.5},
      {"5.", 5.0},
      {"1e3", 1000.0},
      {"2E-2:", 0.02},
      {"7e", 7.0},
      {"7e+", 7.0},
      {"0x10", 0.0},
      {"inf", 0.0},
      {"-INFINITY", 0.0},
      {"nan", 0.0},
      {"NaN(1)", 0.0},
      {"1e999", 0.0},
      {".", 0.0},
      {"-", 0.0},
      {"", 0.0},
      {"1e-400", 0.0},
  };
  for (const auto& c : cases)
    EXPECT_DOUBLE_EQ(ParseDouble(c.text), c.value) << c.text;
  EXPECT_EQ(ParseInt("0x10"), 0);
  EXPECT_EQ(ParseInt("inf"), 0);
  EXPECT_EQ(ParseInt(" -42abc"), -42);
  EXPECT_EQ(ParseInt("99999999999"), 2147483647);
}

}  // namespace
}  // namespace talvix
