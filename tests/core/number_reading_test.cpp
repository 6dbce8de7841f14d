// Numbers in received lines and typed text: decimal only, like atoi.
#include <gtest/gtest.h>

#include <cstdlib>

#include "core/number_format.h"
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

// Fixed buffers take at most their size with the NUL; a zero size or no
// buffer is never written to, and no text is the empty text.
TEST(TextCopyTest, CutsToTheBufferAndNeverWritesPastIt) {
  char buffer[8] = "1234567";
  CopyText(buffer, 0, "abc");
  EXPECT_STREQ(buffer, "1234567");
  CopyText(nullptr, 4, "abc");
  CopyText(buffer, 4, "abcdef");
  EXPECT_STREQ(buffer, "abc");
  EXPECT_EQ(buffer[4], '5');
  CopyText(buffer, 1, "abc");
  EXPECT_STREQ(buffer, "");
  CopyText(buffer, 8, static_cast<const char*>(nullptr));
  EXPECT_STREQ(buffer, "");
  char exact[4];
  CopyText(exact, std::string("abc"));
  EXPECT_STREQ(exact, "abc");
}

// The default format at load is "%0.4f". The check runs in a fresh copy of
// this program (the threadsafe death test style starts one), since any test
// before it may have changed the default.
TEST(NumberFormatTest, TheDefaultAtLoadHasFourDecimals) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::exit(FormatFloat(118.1) == "118.1000" ? 0 : 1),
              testing::ExitedWithCode(0), "");
}

// Only the two formats the plug-in writes become the default; any other
// format is used once and leaves the default alone.
TEST(NumberFormatTest, OnlyTheTwoKnownFormatsBecomeTheDefault) {
  EXPECT_EQ(FormatFloat(1.25, "%.3f"), "1.250");
  EXPECT_EQ(FormatFloat(1.25), "1.250");
  EXPECT_EQ(FormatFloat(1.25, "%.1f"), "1.2");
  EXPECT_STREQ(DefaultFloatFormat(), "%.3f");
  EXPECT_EQ(FormatFloat(1.25, "%0.4f"), "1.2500");
  EXPECT_EQ(FormatFloat(1.25, "%.4f"), "1.2500");
  EXPECT_STREQ(DefaultFloatFormat(), "%0.4f");
  EXPECT_EQ(FormatFloat(1.25), "1.2500");
}

}  // namespace
}  // namespace talvix
