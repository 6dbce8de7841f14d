// Ping, pong, server errors, kill and the lines the dispatcher drops, from
// a peer on loopback through the real plug-in.
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "tests/protocol/session_plugin_fixture.h"

namespace talvix {
namespace {

using testing::LoopbackPeer;
using testing::SessionPluginTest;

class PingErrorKillTest : public SessionPluginTest {
 protected:
  void SetUp() override {
    SessionPluginTest::SetUp();
    if (HasFatalFailure()) return;
    host().model().setSetting("Talvix", "AutoPopup", "1");
  }
  // Sends one line and idles until the history shows the given line.
  void expectPosted(LoopbackPeer& peer, const std::string& line,
                    const std::string& posted) {
    ASSERT_TRUE(peer.send(line + "\r\n"));
    EXPECT_TRUE(pump([&] { return historyHas(posted); })) << posted;
  }
};

TEST_F(PingErrorKillTest, PingsForTheUserAreAnsweredWithTheirValues) {
  LoopbackPeer peer("127.0.0.115");
  connect(peer, "127.0.0.115");
  expectPosted(peer, "$PIXYZ:ABC:7", "PONG Sent");
  EXPECT_EQ(answer(peer), "$POABC:XYZ:7");

  // Not for the user: no answer, so the next line read answers "*".
  ASSERT_TRUE(peer.send("$PIXYZ:DEF:1\r\n$PIXYZ:*:2\r\n"));
  EXPECT_EQ(answer(peer), "$POABC:XYZ:2");
  ASSERT_TRUE(peer.send("$PIXYZ:*P:10:20:30\r\n"));
  EXPECT_EQ(answer(peer), "$POABC:XYZ:10:20:30");

  // Four fields: the guard line and no pong.
  expectPosted(peer, "$PIXYZ:ABC:1:2",
               "****> handlePI - Talvix: Exception caught. Notify author.");
  EXPECT_FALSE(answer(peer, 300).has_value());
  EXPECT_EQ(historyCount("PONG Sent"), 3);
}

TEST_F(PingErrorKillTest, PongsShowTheRoundTripOrTheBuggyPeer) {
  LoopbackPeer peer("127.0.0.116");
  connect(peer, "127.0.0.116");
  const std::time_t sent = std::time(nullptr) - 3;
  std::tm local{};
  localtime_r(&sent, &local);
  ASSERT_TRUE(peer.send("$POXYZ:ABC:" + std::to_string(local.tm_hour) + ":" +
                        std::to_string(local.tm_min) + ":" +
                        std::to_string(local.tm_sec) + "\r\n"));
  ASSERT_TRUE(pump([&] {
    return historyHas("3.000 seconds to receive PONG") ||
           historyHas("4.000 seconds to receive PONG");  // a second ticked
  }));

  expectPosted(peer, "$POXYZ:ABC:10",
               "Receiver XYZ is running FS2000. PING reply is buggy there.");
  EXPECT_EQ(sounds("ATTN.WAV"), 1);

  const std::string buggy =
      "Talvix for FS2000 is BUGGY! Can't respond to PING properly.";
  ASSERT_TRUE(peer.send("$POXYZ:ABC:10:0\r\n"));
  ASSERT_TRUE(pump([&] { return notices(buggy) == 1; }));
  for (const auto& notice : state().notices) {
    if (notice.text == buggy) {
      EXPECT_EQ(notice.seconds, 2.0f);
    }
  }

  // A pong for another callsign, then one with two fields only.
  const auto rowsBefore = history().size();
  expectPosted(peer, "$POXYZ:DEF:10:0:0\r\n$POXYZ",
               "****> handlePO - Talvix: Exception caught. Notify author.");
  EXPECT_EQ(history().size(), rowsBefore + 1);
}

TEST_F(PingErrorKillTest, ServerErrorsComeFromTheTable) {
  LoopbackPeer peer("127.0.0.117");
  connect(peer, "127.0.0.117");
  const int raises = mainWindowRaises();
  expectPosted(peer, "$ERserver:ABC:1:x", "Error: Callsign in use");
  EXPECT_EQ(mainWindowRaises(), raises + 1);  // AutoPopup is set
  EXPECT_EQ(sounds("MYATTN.WAV"), 1);

  expectPosted(peer, "$ERserver:ABC:9:x",
               "Advisory: Weather Profile not Available for Closest "
               "Reporting Station");
  expectPosted(peer, "$ERserver:ABC:99:x", "Unknown server error 99");
  expectPosted(peer, "$ERserver:ABC:-1:x", "Unknown server error -1");
  expectPosted(peer, "$ERserver:ABC:13", "ID / Password currently suspended");
  EXPECT_EQ(mainWindowRaises(), raises + 2);
  // The rest of the table alerts too; 4 and 9 never do.
  const std::pair<int, const char*> rest[] = {
      {2, "Error: Invalid Callsign"},
      {3, "Error: Already Registered"},
      {5, "Warning: Invalid Source Callsign"},
      {6, "Error: Invalid ID or Password"},
      {7, "Warning: No such Callsign"},
      {8, "Warning: No Flight Plan"},
      {10, "Invalid protocol revision"},
      {11, "Requested level too high"},
      {12, "Too many client connected"},
  };
  for (const auto& [number, text] : rest)
    expectPosted(peer, "$ERserver:ABC:" + std::to_string(number) + ":x", text);
  EXPECT_EQ(mainWindowRaises(), raises + 11);

  // 4 shows the line sent last: here the answer to this ping.
  expectPosted(peer, "$PIXYZ:ABC:42", "PONG Sent");
  ASSERT_EQ(answer(peer), "$POABC:XYZ:42");
  expectPosted(peer, "$ERserver:ABC:4:x", "$POABC:XYZ:42");
  EXPECT_FALSE(historyHas("Error: Syntax Error in Packet"));

  expectPosted(peer, "$ERserver:ABC",
               "handleER - Talvix: Exception caught. Notify author.");
}

TEST_F(PingErrorKillTest, DroppedPrefixesChangeNothingAndOrderHolds) {
  LoopbackPeer peer("127.0.0.118");
  connect(peer, "127.0.0.118");
  const std::vector<std::string> before = history();
  ASSERT_TRUE(peer.send(
      "#DLXYZ:1\r\n#XXABC\r\n$XXABC\r\n$erserver:ABC:1:x\r\nQQQ\r\n\r\n"
      "$ERserver:ABC:2:x\r\n"));
  ASSERT_TRUE(pump([&] { return historyHas("Error: Invalid Callsign"); }));
  std::vector<std::string> expected = before;
  expected.push_back("Error: Invalid Callsign");
  EXPECT_EQ(history(), expected);
  EXPECT_FALSE(answer(peer, 200).has_value());  // and nothing answered
}

TEST_F(PingErrorKillTest, TheWaitingLinesAreHandledInOneIdleCallInOrder) {
  LoopbackPeer peer("127.0.0.119");
  connect(peer, "127.0.0.119");
  ASSERT_TRUE(peer.send("$PIXYZ:ABC:1\r\n$PIXYZ:ABC:2\r\n"));
  // Without idle calls both wait in the incoming queue.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  EXPECT_EQ(historyCount("PONG Sent"), 0);
  host().idleOnce(kFrameSeconds);
  // Both answered from that one call; each "PONG Sent" once it is written.
  EXPECT_EQ(peer.readLine(2000), "$POABC:XYZ:1");
  EXPECT_EQ(peer.readLine(2000), "$POABC:XYZ:2");
  EXPECT_TRUE(pump([&] { return historyCount("PONG Sent") == 2; }));
  pumpFor(100);
  EXPECT_EQ(historyCount("PONG Sent"), 2);
}

TEST_F(PingErrorKillTest, AKillForTheUserEndsTheSession) {
  // Two pilots within range and a tower on the scope.
  host().model().modify([](sim::HostState& s) {
    s.user.position = {48.3534 * 3600, (360 - 122.3092) * 3600, 3500};
  });
  event("txMN", "mp__", "slct", static_cast<int>(FourCC("mp40")));
  LoopbackPeer peer("127.0.0.122");
  connect(peer, "127.0.0.122");
  ASSERT_TRUE(
      peer.send("@N:PIL1:1200:1:48.36:-122.30:3500:120:1024:0\r\n"
                "@N:PIL2:1200:1:48.34:-122.31:2500:90:1024:0\r\n"
                "%XYZ_TWR:18150:4:50:3\r\n"));
  const auto atcItems = [&] {
    std::vector<std::string> texts;
    if (const auto popup = control("txMN", "sAtc")) {
      for (const auto& item : popup->items) texts.push_back(item.text);
    }
    return texts;
  };
  ASSERT_TRUE(pump(
      [&] { return state().objects.size() == 2 && atcItems().size() == 2; }));
  // Someone else's removal changes nothing.
  ASSERT_TRUE(peer.send("$!!SERVER:DEF:bye\r\n$PIXYZ:ABC:3\r\n"));
  std::optional<std::string> pong;
  do {
    pong = answer(peer);  // after the pilots' type queries
  } while (pong && pong->rfind("#TX", 0) == 0);
  EXPECT_EQ(pong, "$POABC:XYZ:3");
  ASSERT_TRUE(pump([&] { return historyHas("PONG Sent"); }));  // once written
  EXPECT_EQ(state().objects.size(), 2u);
  const std::vector<std::string> before = history();

  // The user's removal ends the session as a lost one: no pilot and no
  // station of the old network is left, the history stays with the kill's
  // line after it, told on the screen for ten seconds too.
  expectPosted(peer, "$!!SERVER:ABC:bye", "You have been removed by: bye");
  EXPECT_TRUE(peer.waitForClose());
  EXPECT_EQ(sounds("ATTN.WAV"), 1);
  EXPECT_TRUE(state().objects.empty());
  EXPECT_EQ(atcItems(), std::vector<std::string>{"UNICOM_CTR"});
  EXPECT_EQ(control("txMN", "spMg")->items.size(), 1u);
  std::vector<std::string> expected = before;
  expected.push_back("You have been removed by: bye");
  EXPECT_EQ(history(), expected);
  EXPECT_EQ(notices("You have been removed by: bye"), 1);
  EXPECT_FLOAT_EQ(state().notices.back().seconds, 10.0f);
  // The objects stay gone: nothing of the old session moves them again.
  pumpFor(200);
  EXPECT_TRUE(state().objects.empty());
  // Without a session nothing more is handled.
  pumpFor(100);
  EXPECT_EQ(historyCount("PONG Sent"), 1);
}

TEST_F(PingErrorKillTest, AKillWithoutAReasonDisconnectsAndPostsTheGuardLine) {
  LoopbackPeer peer("127.0.0.123");
  connect(peer, "127.0.0.123");
  expectPosted(peer, "$!!SERVER:ABC",
               "*****> handle!! - Talvix: Exception caught. Notify author.");
  EXPECT_TRUE(peer.waitForClose());
  EXPECT_EQ(history().back(),
            "*****> handle!! - Talvix: Exception caught. Notify author.");
  // The session has ended all the same: the next Connect logs in.
  reconnect("127.0.0.123");
  ASSERT_TRUE(peer.accept());
  EXPECT_EQ(peer.readLine(), "#APABC:SERVER:123:pw:1:9:3:Jo Lee KSFO");
  ASSERT_TRUE(peer.send("$PIXYZ:ABC:4\r\n"));
  EXPECT_EQ(answer(peer), "$POABC:XYZ:4");
  EXPECT_FALSE(pump(
      [&] { return std::string(history().back()).rfind("You have", 0) == 0; },
      100));
}

}  // namespace
}  // namespace talvix
