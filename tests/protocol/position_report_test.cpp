// The own aircraft as read from the stand-in host, and the "@" line made
// from it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/field_reader.h"
#include "protocol/own_aircraft.h"
#include "tests/traffic/direct_host.h"

namespace talvix {
namespace {

using testing::ArcSeconds;

class PositionReportTest : public testing::DirectHostTest {
 protected:
  // Latitude and east longitude in degrees (0..360), feet, feet per second.
  void place(double lat, double eastLon, double alt, float speed) {
    user([&](sim::UserAircraft& u) {
      u.position = {ArcSeconds(lat), ArcSeconds(eastLon), alt};
      u.speed = speed;
    });
  }
  std::vector<std::string> reportFields() {
    UpdateFlyParameters();
    std::string line =
        PositionReportText(OwnAircraft(), OwnCallsign(), PackAttitude());
    return SplitFields(line.c_str());
  }
};

TEST_F(PositionReportTest, TheExampleLineComesOutDigitForDigit) {
  CopyText(Connection().callsign, "ABC123");
  AltitudeOffset() = 100;
  place(48.3534, 360.0 - 122.3092, 3500, 100.0f);
  user([](sim::UserAircraft& u) {
    u.transponder.mode = 5;
    u.transponder.reply = 0;
    u.transponder.code = 1200;
    u.orientation = {0, 1.5707963267948966, 0};
  });
  UpdateFlyParameters();
  EXPECT_EQ(PositionReportText(OwnAircraft(), OwnCallsign(), PackAttitude()),
            "@N:ABC123:1200:1:48.35340:-122.30920:3400:59:1020:0");
}

TEST_F(PositionReportTest, LongitudeIsSignedAndHalfTheWorldStaysEast) {
  place(0, 359.5, 0, 0);
  EXPECT_EQ(reportFields()[5], "-0.50000");
  place(0, 180.0, 0, 0);
  EXPECT_EQ(reportFields()[5], "180.00000");
  place(0, 0.25, 0, 0);
  EXPECT_EQ(reportFields()[5], "0.25000");
  place(-33.5, 200.0, 0, 0);
  auto fields = reportFields();
  EXPECT_EQ(fields[4], "-33.50000");
  EXPECT_EQ(fields[5], "-160.00000");
}

TEST_F(PositionReportTest, SpeedInKnotsNeverNegative) {
  place(10, 10, 0, -3.0f);
  EXPECT_EQ(reportFields()[7], "0");
  place(10, 10, 0, 100.0f);
  EXPECT_EQ(reportFields()[7], "59");
  place(10, 10, 0, 1000.0f);
  EXPECT_EQ(reportFields()[7], "592");
}

TEST_F(PositionReportTest, AltitudeLessTheOffsetAndCodeInFourDigits) {
  place(10, 10, 3500, 0);
  user([](sim::UserAircraft& u) { u.transponder.code = 0; });
  auto fields = reportFields();
  EXPECT_EQ(fields[6], "3500");
  EXPECT_EQ(fields[2], "0000");
  AltitudeOffset() = 100;
  user([](sim::UserAircraft& u) { u.transponder.code = 7700; });
  fields = reportFields();
  EXPECT_EQ(fields[6], "3400");
  EXPECT_EQ(fields[2], "7700");
  ASSERT_EQ(fields.size(), 10u);
  EXPECT_EQ(fields[3], "1");
  EXPECT_EQ(fields[9], "0");
}

TEST_F(PositionReportTest, WithoutAUserAircraftTheLastValuesStay) {
  place(48.3534, 237.6908, 3500, 100.0f);
  auto before = reportFields();
  place(1, 1, 1, 1);
  user([](sim::UserAircraft& u) { u.present = false; });
  UpdateFlyParameters();
  auto after =
      SplitFields(PositionReportText(OwnAircraft(), OwnCallsign(), 0).c_str());
  for (int i : {4, 5, 6, 7}) EXPECT_EQ(after[i], before[i]) << "field " << i;
  EXPECT_DOUBLE_EQ(OwnRawPosition().alt, 3500);
}

}  // namespace
}  // namespace talvix
