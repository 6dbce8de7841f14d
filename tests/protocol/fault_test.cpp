// Faults of the network through real sockets with the real plug-in in the
// stand-in host: bursts, runs without a line end, a server that closes in
// the middle of a line.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "tests/protocol/session_plugin_fixture.h"

namespace talvix {
namespace {

using testing::LoopbackPeer;

class FaultTest : public testing::SessionPluginTest {
 protected:
  void SetUp() override {
    SessionPluginTest::SetUp();
    if (HasFatalFailure()) return;
    pick("txMN", "mp__", "mp40");  // pilots within 40 nm are shown
    host().model().modify([](sim::HostState& s) {
      s.user.position = {10.0 * 3600, 10.0 * 3600, 3000};
    });
  }
  int objectsNamed(const std::string& name) const {
    int n = 0;
    for (const auto& o : state().objects) n += o.names[0] == name;
    return n;
  }
  // Pings the plug-in and idles until its pong comes back, whatever else
  // it sends meanwhile.
  bool pinged(LoopbackPeer& peer, const std::string& tag) {
    if (!peer.send("$PIXYZ:ABC:" + tag + "\r\n")) return false;
    const std::string pong = "$POABC:XYZ:" + tag;
    bool answered = false;
    pump(
        [&] {
          while (auto line = peer.readLine(2)) answered |= *line == pong;
          return answered;
        },
        30000);
    return answered;
  }
  bool guardLinePosted() const {
    for (const std::string& line : history())
      if (line.find("Exception caught") != std::string::npos) return true;
    return false;
  }
};

// 1000 reports of 50 pilots in one burst: every pilot is shown, each at
// its last report, and the session stays up.
TEST_F(FaultTest, ABurstOfAThousandReportsShowsEveryPilot) {
  LoopbackPeer peer("127.0.0.241");
  connect(peer, "127.0.0.241");
  constexpr int kPilots = 50, kRounds = 20;
  std::string burst;
  for (int round = 0; round < kRounds; ++round) {
    for (int pilot = 0; pilot < kPilots; ++pilot) {
      // Each round climbs 10 ft: the altitude tells which report came last.
      burst += "@N:P" + std::to_string(pilot) + ":1200:1:10.0" +
               std::to_string(pilot) +
               ":10.0:" + std::to_string(3000 + 10 * round) + ":120:0:0\r\n";
    }
  }
  ASSERT_TRUE(peer.send(burst));
  // The receiver cuts one line per 50 ms cycle.
  ASSERT_TRUE(pump(
      [&] {
        const auto objects = state().objects;
        int done = 0;
        for (const auto& o : objects)
          done +=
              std::fabs(o.position.alt - (3000 + 10 * (kRounds - 1))) < 1e-6;
        return done == kPilots;
      },
      120000));
  EXPECT_EQ(state().objects.size(), static_cast<std::size_t>(kPilots));
  for (int pilot = 0; pilot < kPilots; ++pilot)
    EXPECT_EQ(objectsNamed("P" + std::to_string(pilot)), 1) << pilot;
  EXPECT_FALSE(guardLinePosted());
  // Still connected: a ping is answered.
  EXPECT_TRUE(pinged(peer, "after"));
}

// 5000 lines in one burst, well inside the incoming queue: every one is
// handled, in the order sent. Most are broadcasts, each shown as a history
// line; every 100th is a ping, and its pong goes back in order. The
// receiver cuts the burst in a cycle or two and the idle calls handle 64
// lines each, so the sender's 55 ms a pong sets the pace: about 3 s.
TEST_F(FaultTest, ABurstOfFiveThousandLinesLosesAndReordersNothing) {
  LoopbackPeer peer("127.0.0.245");
  connect(peer, "127.0.0.245");
  constexpr int kLines = 5000, kPingEvery = 100;
  std::string burst;
  for (int i = 0; i < kLines; ++i) {
    burst += i % kPingEvery == 0 ? "$PIXYZ:ABC:" + std::to_string(i)
                                 : "#TMXYZ:*:line " + std::to_string(i);
    burst += "\r\n";
  }
  ASSERT_TRUE(peer.send(burst));
  // The history keeps 200 lines and one idle call adds at most 64 (and a
  // "PONG Sent" for each ping), so reading it after every call sees all.
  std::vector<std::string> shown;
  const std::string pong = "$POABC:XYZ:";
  int nextPong = 0;
  bool pongsInOrder = true;
  pump(
      [&] {
        const std::vector<std::string> rows = history();
        // Rows already taken move up as the oldest go: the new ones follow
        // the newest taken (each text is shown once).
        std::size_t start = 0;
        for (std::size_t r = rows.size(); !shown.empty() && r-- > 0;) {
          if (rows[r] == shown.back()) {
            start = r + 1;
            break;
          }
        }
        for (std::size_t r = start; r < rows.size(); ++r)
          if (rows[r].rfind("line ", 0) == 0) shown.push_back(rows[r]);
        while (auto line = peer.readLine(2)) {
          if (line->rfind(pong, 0) != 0) continue;
          pongsInOrder &= *line == pong + std::to_string(nextPong);
          nextPong += kPingEvery;
        }
        // The lines after the last ping may still wait when its pong is in.
        return nextPong == kLines &&
               shown.size() >=
                   static_cast<std::size_t>(kLines - kLines / kPingEvery);
      },
      60000);
  EXPECT_EQ(nextPong, kLines);
  EXPECT_TRUE(pongsInOrder);
  ASSERT_EQ(shown.size(),
            static_cast<std::size_t>(kLines - kLines / kPingEvery));
  std::size_t k = 0;
  for (int i = 0; i < kLines; ++i) {
    if (i % kPingEvery == 0) continue;
    ASSERT_EQ(shown[k++], "line " + std::to_string(i));
  }
  EXPECT_FALSE(guardLinePosted());
}

// 100 KB without a line end arrives as pieces, each dropped as a line of
// no known kind; a server that then closes in the middle of a line leaves
// a session that still disconnects and connects again.
TEST_F(FaultTest, ALongRunAndAServerClosingMidLineHarmNothing) {
  LoopbackPeer peer("127.0.0.242");
  connect(peer, "127.0.0.242");
  ASSERT_TRUE(peer.send(std::string(100 * 1024, 'x') + "\r\n"));
  EXPECT_TRUE(pinged(peer, "1"));

  ASSERT_TRUE(peer.send("#TMXYZ:ABC:half a li"));
  peer.closeClient();
  pumpFor(300);
  EXPECT_FALSE(guardLinePosted());
  disconnect();
  reconnect("127.0.0.242");
  ASSERT_TRUE(peer.accept());
  ASSERT_TRUE(peer.readLine().has_value());  // the login line
  EXPECT_TRUE(pinged(peer, "2"));
}

}  // namespace
}  // namespace talvix
