#include <gtest/gtest.h>

#include "server_harness.h"

namespace netserver::testing {
namespace {

TEST(Control, SendAndSendallWriteTheRawLine) {
  InProcessServer server("127.0.0.62");
  TestClient abc(server.address(), server.port());
  abc.login("ABC");
  TestClient def(server.address(), server.port());
  def.login("DEF");
  ASSERT_TRUE(server.events().waitFor("login DEF"));

  server.command("send ABC #TMserver:ABC:two  blanks kept");
  EXPECT_EQ(abc.readLine(), "#TMserver:ABC:two  blanks kept");
  EXPECT_TRUE(server.events().waitFor("sent ABC"));
  server.command("send NOBODY #TMserver:NOBODY:x");
  EXPECT_TRUE(server.events().waitFor("error no client NOBODY"));

  server.command("sendall #TDserver:*:0:0:0:0:0:0:0:0:2992");
  EXPECT_EQ(abc.readLine(), "#TDserver:*:0:0:0:0:0:0:0:0:2992");
  EXPECT_EQ(def.readLine(), "#TDserver:*:0:0:0:0:0:0:0:0:2992");
  EXPECT_TRUE(server.events().waitFor("sentall 2"));
}

TEST(Control, KillSendsTheReasonThenCloses) {
  InProcessServer server("127.0.0.62");
  TestClient pilot(server.address(), server.port());
  pilot.login("ABC");
  TestClient tower(server.address(), server.port());
  tower.login("XYZ_TWR");
  tower.sendLine("%XYZ_TWR:18150:4:50:3");
  ASSERT_EQ(pilot.readLine(), "%XYZ_TWR:18150:4:50:3");

  server.command("kill XYZ_TWR Misconduct on frequency");
  EXPECT_EQ(tower.readLine(), "$!!SERVER:XYZ_TWR:Misconduct on frequency");
  EXPECT_TRUE(tower.waitClosed());
  EXPECT_EQ(pilot.readLine(), "#DAXYZ_TWR:SERVER");
  EXPECT_TRUE(server.events().waitFor("killed XYZ_TWR"));
  server.command("list");
  EXPECT_TRUE(server.events().waitFor("list ABC"));
}

TEST(Control, CloseListAndUnknownCommands) {
  InProcessServer server("127.0.0.63");
  TestClient abc(server.address(), server.port());
  abc.login("ABC");
  TestClient def(server.address(), server.port());
  def.login("DEF");
  ASSERT_TRUE(server.events().waitFor("login DEF"));
  server.command("list");
  EXPECT_TRUE(server.events().waitFor("list ABC DEF"));
  server.command("close ABC");
  EXPECT_TRUE(abc.waitClosed());
  EXPECT_TRUE(server.events().waitFor("closed ABC"));
  server.command("close ABC");
  EXPECT_TRUE(server.events().waitFor("error no client ABC"));
  server.command("fly away");
  EXPECT_TRUE(server.events().waitFor("error unknown command fly"));
  server.command("kill");
  EXPECT_TRUE(server.events().waitFor("error usage: kill CALLSIGN REASON"));
  server.command("list");
  EXPECT_TRUE(server.events().waitFor("list DEF"));
}

}  // namespace
}  // namespace netserver::testing
