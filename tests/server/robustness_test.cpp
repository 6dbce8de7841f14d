#include <gtest/gtest.h>

#include <string>

#include "server_harness.h"

namespace netserver::testing {
namespace {

std::string binaryJunk() {
  std::string junk;
  for (int i = 0; i < 3000; ++i)
    junk.push_back(static_cast<char>((i * 37) & 0xff));
  return junk;
}

TEST(Robustness, GarbageAndOverlongLinesLeaveTheServerServing) {
  InProcessServer server("127.0.0.59");
  TestClient watcher(server.address(), server.port());
  watcher.login("WATCH");
  TestClient stranger(server.address(), server.port());
  stranger.sendRaw(binaryJunk());
  stranger.sendRaw(std::string(10000, 'A') + "\r\n");
  stranger.sendRaw(std::string("\0\0\0\r\n", 5));

  TestClient member(server.address(), server.port());
  member.login("ABC");
  member.sendRaw(binaryJunk());
  member.sendLine("#TM");
  member.sendLine("$AX");
  member.sendLine("#TMABC");
  member.sendLine("@");
  member.sendLine("%");
  member.sendLine("$CQABC");
  // An overlong position is cut at 1023 bytes like every other run.
  member.sendLine("@N:ABC:" + std::string(3000, '9'));
  auto piece = watcher.readLineStartingWith("@N:ABC:");
  ASSERT_TRUE(piece);
  EXPECT_EQ(piece->size(), 1023u);

  member.sendLine("$PIABC:SERVER:alive");
  EXPECT_EQ(member.readLineStartingWith("$PO"), "$POserver:ABC:alive");
  TestClient late(server.address(), server.port());
  late.login("DEF");
  late.sendLine("#TMDEF:WATCH:still here");
  EXPECT_EQ(watcher.readLineStartingWith("#TM"), "#TMDEF:WATCH:still here");
}

TEST(Robustness, AbruptDisconnectIsCleanedUp) {
  InProcessServer server("127.0.0.60");
  {
    TestClient client(server.address(), server.port());
    client.login("ABC");
    client.sendRaw("@N:ABC:1200:1:48.3");  // half a line, then gone
    ASSERT_TRUE(server.events().waitFor("login ABC"));
  }
  EXPECT_TRUE(server.events().waitFor("logout ABC"));
  server.command("list");
  EXPECT_TRUE(server.events().waitFor("list"));
}

TEST(Robustness, ClientThatNeverLogsInIsDropped) {
  ServerOptions options;
  options.listen.limits.loginTimeout = std::chrono::milliseconds(200);
  InProcessServer server("127.0.0.61", options);
  TestClient silent(server.address(), server.port());
  TestClient talker(server.address(), server.port());
  talker.sendLine("hello?");  // talking without logging in does not help
  EXPECT_TRUE(silent.waitClosed(3s));
  EXPECT_TRUE(talker.waitClosed(3s));
  EXPECT_TRUE(server.events().waitForPrefix("disconnect ").has_value());
}

TEST(Robustness, LoggedInClientThatFallsSilentIsDropped) {
  ServerOptions options;
  options.listen.limits.idleTimeout = std::chrono::milliseconds(300);
  InProcessServer server("127.0.0.61", options);
  TestClient client(server.address(), server.port());
  client.login("ABC");
  ASSERT_TRUE(server.events().waitFor("login ABC"));
  EXPECT_TRUE(client.waitClosed(3s));
  EXPECT_TRUE(server.events().waitFor("logout ABC"));
}

TEST(Robustness, ManyClientsComeAndGo) {
  InProcessServer server("127.0.0.59");
  TestClient watcher(server.address(), server.port());
  watcher.login("WATCH");
  for (int round = 0; round < 40; ++round) {
    TestClient client(server.address(), server.port());
    const std::string callsign = "C" + std::to_string(round);
    client.login(callsign);
    client.sendLine("#TM" + callsign + ":WATCH:" + std::to_string(round));
    ASSERT_EQ(watcher.readLine(),
              "#TM" + callsign + ":WATCH:" + std::to_string(round));
  }
  for (int round = 0; round < 40; ++round) {
    ASSERT_TRUE(server.events().waitFor("logout C" + std::to_string(round)));
  }
  server.command("list");
  EXPECT_TRUE(server.events().waitFor("list WATCH", 5s));
}

}  // namespace
}  // namespace netserver::testing
