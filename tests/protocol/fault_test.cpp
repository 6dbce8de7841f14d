// Faults of the network through real sockets with the real plug-in in the
// stand-in host: bursts, runs without a line end, a server that closes in
// the middle of a line.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

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

// 5000 pings in one burst, well inside the incoming queue: every one is
// answered, in the order sent. The receiver cuts one line per 50 ms cycle
// and the sender writes one per 55 ms, so this takes about 280 s.
TEST_F(FaultTest, ABurstOfFiveThousandLinesLosesAndReordersNothing) {
  LoopbackPeer peer("127.0.0.245");
  connect(peer, "127.0.0.245");
  constexpr int kLines = 5000;
  std::string burst;
  for (int i = 0; i < kLines; ++i)
    burst += "$PIXYZ:ABC:" + std::to_string(i) + "\r\n";
  ASSERT_TRUE(peer.send(burst));
  const std::string pong = "$POABC:XYZ:";
  int next = 0;
  bool inOrder = true;
  pump(
      [&] {
        while (auto line = peer.readLine(5)) {
          if (line->rfind(pong, 0) != 0) continue;
          inOrder &= *line == pong + std::to_string(next);
          ++next;
        }
        return next == kLines;
      },
      420000);
  EXPECT_EQ(next, kLines);
  EXPECT_TRUE(inOrder);
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
