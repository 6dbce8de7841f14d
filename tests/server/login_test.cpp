#include <gtest/gtest.h>

#include "server_harness.h"

namespace netserver::testing {
namespace {

TEST(Login, DuplicateCallsignIsRefusedByteForByte) {
  InProcessServer server("127.0.0.50");
  TestClient first(server.address(), server.port());
  first.login("ABC");
  ASSERT_TRUE(server.events().waitFor("login ABC"));

  TestClient second(server.address(), server.port());
  second.login("ABC");
  EXPECT_EQ(second.readLine(), "$ERserver:ABC:1:Callsign in use");
  // A fatal login error closes the connection; what follows is not read.
  second.login("ABD");
  EXPECT_TRUE(second.waitClosed());

  // The refused client may try again under a free callsign.
  TestClient third(server.address(), server.port());
  third.login("ABD");
  ASSERT_TRUE(server.events().waitFor("login ABD"));
  server.command("list");
  EXPECT_TRUE(server.events().waitFor("list ABC ABD"));
}

TEST(Login, CallsignIsFreeAgainAfterItsOwnerLeaves) {
  InProcessServer server("127.0.0.50");
  {
    TestClient first(server.address(), server.port());
    first.login("ABC");
    ASSERT_TRUE(server.events().waitFor("login ABC"));
  }
  ASSERT_TRUE(server.events().waitFor("logout ABC"));
  TestClient again(server.address(), server.port());
  again.login("ABC");
  again.sendLine("$PIABC:SERVER:7");
  EXPECT_EQ(again.readLine(), "$POserver:ABC:7");
}

TEST(Login, NothingCountsBeforeLogin) {
  InProcessServer server("127.0.0.51");
  TestClient watcher(server.address(), server.port());
  watcher.login("WATCH");
  ASSERT_TRUE(server.events().waitFor("login WATCH"));

  TestClient stranger(server.address(), server.port());
  stranger.sendLine("@N:GHOST:1200:1:48.35340:-122.30920:3400:59:1020:0");
  stranger.sendLine("#TMGHOST:*:hello");
  stranger.sendLine("$AXGHOST:SERVER:METAR:KSFO");
  ASSERT_TRUE(server.events().waitForPrefix("ignored ").has_value());
  EXPECT_FALSE(stranger.readLine(300ms).has_value());
  EXPECT_FALSE(watcher.readLine(300ms).has_value());
}

TEST(Login, InvalidCallsignsAreRefusedAndTheConnectionClosed) {
  InProcessServer server("127.0.0.51");
  const struct {
    const char* callsign;
    const char* error;
  } cases[] = {{"", "$ERserver::2:Invalid callsign"},
               {"*", "$ERserver:*:2:Invalid callsign"},
               {"server", "$ERserver:server:2:Invalid callsign"},
               {"A B", "$ERserver:A B:2:Invalid callsign"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.callsign);
    TestClient client(server.address(), server.port());
    client.sendLine(std::string("#AP") + c.callsign +
                    ":SERVER:123:pw:1:9:3:  ");
    EXPECT_EQ(client.readLine(), c.error);
    EXPECT_TRUE(client.waitClosed());
  }
  server.command("list");
  EXPECT_TRUE(server.events().waitFor("list"));
}

TEST(Login, SecondLoginOnTheSameConnectionIsRefused) {
  InProcessServer server("127.0.0.51");
  TestClient client(server.address(), server.port());
  client.login("ABC");
  client.login("XYZ");
  EXPECT_EQ(client.readLine(), "$ERserver:ABC:3:Already registered");
  server.command("list");
  EXPECT_TRUE(server.events().waitFor("list ABC"));
}

}  // namespace
}  // namespace netserver::testing
