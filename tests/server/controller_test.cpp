#include <gtest/gtest.h>

#include "server_harness.h"

namespace netserver::testing {
namespace {

TEST(ControllerLeave, DisconnectOfAControllerIsAnnouncedWithDa) {
  InProcessServer server("127.0.0.58");
  TestClient pilot(server.address(), server.port());
  pilot.login("ABC");
  {
    TestClient tower(server.address(), server.port());
    tower.login("XYZ_TWR");
    ASSERT_TRUE(server.events().waitFor("login XYZ_TWR"));
    tower.sendLine("%XYZ_TWR:18150:4:50:3");
    EXPECT_EQ(pilot.readLine(), "%XYZ_TWR:18150:4:50:3");
  }
  EXPECT_EQ(pilot.readLine(), "#DAXYZ_TWR:SERVER");
  EXPECT_TRUE(server.events().waitFor("logout XYZ_TWR"));
}

TEST(ControllerLeave, DaLineFromAControllerIsAnnouncedAndEndsItsConnection) {
  InProcessServer server("127.0.0.58");
  TestClient pilot(server.address(), server.port());
  pilot.login("ABC");
  TestClient tower(server.address(), server.port());
  tower.login("XYZ_APP");
  tower.sendLine("%XYZ_APP:24500:5:100:4");
  EXPECT_EQ(pilot.readLine(), "%XYZ_APP:24500:5:100:4");
  tower.sendLine("#DAXYZ_APP:SERVER");
  EXPECT_EQ(pilot.readLine(), "#DAXYZ_APP:SERVER");
  EXPECT_TRUE(tower.waitClosed());
}

TEST(ControllerLeave, PilotsAndSilentControllerCallsignsLeaveQuietly) {
  InProcessServer server("127.0.0.58");
  TestClient watcher(server.address(), server.port());
  watcher.login("WATCH");
  {
    TestClient pilot(server.address(), server.port());
    pilot.login("DEF");
    pilot.sendLine("@N:DEF:1200:1:48.35340:-122.30920:3400:59:1020:0");
    EXPECT_EQ(watcher.readLine(),
              "@N:DEF:1200:1:48.35340:-122.30920:3400:59:1020:0");
    // A controller's callsign alone does not make a controller: it has to
    // have reported with "%".
    TestClient quiet(server.address(), server.port());
    quiet.login("QQQ_CTR");
    ASSERT_TRUE(server.events().waitFor("login QQQ_CTR"));
  }
  ASSERT_TRUE(server.events().waitFor("logout DEF"));
  ASSERT_TRUE(server.events().waitFor("logout QQQ_CTR"));
  watcher.sendLine("$PIWATCH:SERVER:barrier");
  EXPECT_EQ(watcher.readLine(), "$POserver:WATCH:barrier");
}

}  // namespace
}  // namespace netserver::testing
