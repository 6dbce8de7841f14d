// The COM radio as read and set through the stand-in host, and its
// five-digit text.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "atc/com_tracking.h"
#include "core/number_format.h"
#include "protocol/own_aircraft.h"
#include "tests/traffic/direct_host.h"

namespace talvix {
namespace {

class ComFrequencyTest : public testing::DirectHostTest {
 protected:
  std::string textFor(float mhz) {
    user([&](sim::UserAircraft& u) { u.com1 = mhz; });
    char text[6] = "xxxxx";
    ComFrequencyText(text);
    return text;
  }
  float radio() const { return state().user.com1; }
};

TEST_F(ComFrequencyTest, FiveDigitsWithoutTheLeadingOne) {
  EXPECT_EQ(textFor(122.8f), "22800");
  EXPECT_EQ(textFor(118.05f), "18050");
  EXPECT_EQ(textFor(118.3f), "18300");
  EXPECT_EQ(textFor(136.975f), "36980");  // rounded to two decimals first
  EXPECT_STREQ(DefaultFloatFormat(), "%.3f");
}

// Every idle call reads the radio, and with it the default number format
// becomes the frequency's "%.3f" (the ATC window shows it so).
TEST_F(ComFrequencyTest, EachIdleCallReadsTheRadio) {
  FormatFloat(0.0, "%0.4f");
  user([](sim::UserAircraft& u) { u.com1 = 121.5f; });
  UpdateFlyParameters();
  EXPECT_STREQ(DefaultFloatFormat(), "%.3f");
}

TEST_F(ComFrequencyTest, AnOddRadioValueGivesFewerDigitsNotGarbage) {
  // Characters are taken by position: "8.500" has no sixth or seventh.
  EXPECT_EQ(textFor(8.5f), ".50");
  EXPECT_EQ(textFor(0.0f), ".00");
}

TEST_F(ComFrequencyTest, RoundingIsToTwoDecimalsWithHalvesUp) {
  EXPECT_FLOAT_EQ(RoundToTwoDecimals(118.125f), 118.13f);
  EXPECT_FLOAT_EQ(RoundToTwoDecimals(122.8f), 122.8f);
  EXPECT_FLOAT_EQ(RoundToTwoDecimals(118.004f), 118.0f);
  EXPECT_FLOAT_EQ(RoundToTwoDecimals(-1.125f), -1.13f);
  user([](sim::UserAircraft& u) { u.com1 = 121.506f; });
  EXPECT_FLOAT_EQ(ReadComFrequency(), 121.51f);
}

TEST_F(ComFrequencyTest, TuningWritesTheRoundedValue) {
  TuneCom(118.125f);
  EXPECT_FLOAT_EQ(radio(), 118.13f);
  EXPECT_FLOAT_EQ(ReadComFrequency(), 118.13f);
  TuneCom(122.8f);
  EXPECT_FLOAT_EQ(radio(), 122.8f);
}

// Nothing that is not a number reaches the radio, and a radio that reads
// as one does not count as a change on every read.
TEST_F(ComFrequencyTest, ValuesThatAreNotNumbersNeverReachTheRadio) {
  TuneCom(122.8f);
  for (float bad : {std::numeric_limits<float>::infinity(),
                    -std::numeric_limits<float>::infinity(),
                    std::numeric_limits<float>::quiet_NaN()}) {
    TuneCom(bad);
    EXPECT_FLOAT_EQ(radio(), 122.8f);
  }
  EXPECT_FLOAT_EQ(ReadComFrequency(), 122.8f);
  user([](sim::UserAircraft& u) {
    u.com1 = std::numeric_limits<float>::quiet_NaN();
  });
  EXPECT_FLOAT_EQ(ReadComFrequency(), 122.8f);
  char text[6] = "xxxxx";
  ComFrequencyText(text);
  EXPECT_STREQ(text, "22800");
}

}  // namespace
}  // namespace talvix
