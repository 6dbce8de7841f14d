// The local server's weather profile through the real plug-in: ".wx" on the
// command line asks the server, whose "#TD", "#CD" and "#WD" lines carry
// the station's METAR into the simulator's weather.
#include <gtest/gtest.h>

#include <string>

#include "tests/protocol/session_plugin_fixture.h"
#include "tests/server/server_process.h"

namespace talvix {
namespace {

using LocalServerWeatherTest = testing::SessionPluginTest;

// The shipped report: KSJC 081753Z 31008KT 10SM FEW030 19/09 A2990.
TEST_F(LocalServerWeatherTest, WxRequestAppliesTheStationsMetar) {
  netserver::testing::ServerProcess server(
      {"--listen", "127.0.0.79", "--port", "6809", "--metar",
       std::string(TALVIX_SOURCE_DIR) + "/server/metar"});
  ASSERT_TRUE(server.waitForLine("listen 127.0.0.79 6809").has_value());
  host().model().modify([](sim::HostState& s) {
    s.weather.altimeter = 29.92;
    s.winds.band[1] = {90, 40, {}};
  });
  openConnectWindow();
  fill("127.0.0.79");
  pressOk();
  ASSERT_TRUE(server.waitForLine("login ABC").has_value());

  host().model().setText(static_cast<int>(FourCC("txMN")),
                         static_cast<int>(FourCC("text")), ".wx ksjc");
  event("txMN", "text", "tent");
  ASSERT_TRUE(pump([&] { return historyHas("======> Local Winds Updated"); }));
  EXPECT_TRUE(historyHas("======> Local Temperature/Pressure Updated"));
  EXPECT_TRUE(historyHas("======> Local Cloud layers Updated"));
  const sim::HostState s = state();
  EXPECT_DOUBLE_EQ(s.weather.altimeter, 2990 * 0.01);
  EXPECT_EQ(s.weather.cloud[1].present, 1);
  EXPECT_EQ(s.weather.cloud[1].base, 3000);
  EXPECT_EQ(s.weather.cloud[1].thickness, 2000);
  EXPECT_EQ(s.weather.cloud[1].coverage, 2);  // a few eighths
  EXPECT_EQ(s.weather.cloud[2].present, 0);
  EXPECT_EQ(s.weather.stormFlag, 0);
  // The surface wind in the lowest band; the bands above keep theirs.
  EXPECT_EQ(s.winds.band[0].direction, 310);
  EXPECT_EQ(s.winds.band[0].speed, 8);
  EXPECT_EQ(s.winds.band[1].direction, 90);
  EXPECT_EQ(s.winds.band[1].speed, 40);
  disconnect();
  EXPECT_TRUE(server.waitForLine("logout ABC").has_value());
}

}  // namespace
}  // namespace talvix
