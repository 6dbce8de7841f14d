// The attitude word of the "@" line, packed from the user aircraft's
// orientation as the stand-in host reports it.
#include <gtest/gtest.h>

#include <cstdint>

#include "protocol/own_aircraft.h"
#include "tests/traffic/direct_host.h"

namespace talvix {
namespace {

class AttitudeTest : public testing::DirectHostTest {
 protected:
  std::uint32_t packed(double pitch, double heading, double bank) {
    user([&](sim::UserAircraft& u) { u.orientation = {pitch, heading, bank}; });
    return PackAttitude();
  }
};

TEST_F(AttitudeTest, SinglePrecisionDegreesGiveTheNetworkWords) {
  // 90 degrees comes out as 89.999992, so the heading field is 255.
  EXPECT_EQ(packed(0, 1.5707963267948966, 0), 1020u);
  EXPECT_EQ(packed(0, 4.71238898038469, 0), 768u << 2);      // heading 768
  EXPECT_EQ(packed(0.17453292519943295, 0, 0), 117440512u);  // pitch 28
  EXPECT_EQ(packed(0, 0, 0), 0u);
}

TEST_F(AttitudeTest, FieldsSitInTheirOwnBits) {
  // Bank 10 degrees alone is 28 in bits 21-12; -10 degrees of pitch is
  // normalised to 350, that is 995 steps.
  EXPECT_EQ(packed(0, 0, 0.17453292519943295), 28u << 12);
  EXPECT_EQ(packed(-0.17453292519943295, 0, 0), 995u << 22);
  std::uint32_t all =
      packed(0.17453292519943295, 4.71238898038469, 0.17453292519943295);
  EXPECT_EQ(all >> 22, 28u);
  EXPECT_EQ((all >> 12) & 1023u, 28u);
  EXPECT_EQ((all >> 2) & 1023u, 768u);
  EXPECT_EQ(all & 3u, 0u);
}

TEST_F(AttitudeTest, AFullTurnNeverSpillsIntoTheNextField) {
  // A tiny negative angle normalises to 360.0 in single precision; it must
  // count as no angle at all rather than as 1024 steps.
  EXPECT_EQ(packed(-1e-9, 0, 0), 0u);
  EXPECT_EQ(packed(0, -1e-9, -1e-9), 0u);
}

}  // namespace
}  // namespace talvix
