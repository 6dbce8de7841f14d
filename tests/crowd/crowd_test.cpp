// A busy network through the real plug-in in the stand-in host at 100 nm
// range: a peer with a thousand pilots reporting every five seconds, and
// the local server with a crowd of 500.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>

#include "tests/protocol/session_plugin_fixture.h"

namespace talvix {
namespace {

using Clock = std::chrono::steady_clock;
using testing::LoopbackPeer;

class CrowdTest : public testing::SessionPluginTest {
 protected:
  void SetUp() override {
    SessionPluginTest::SetUp();
    if (HasFatalFailure()) return;
    pick("txMN", "mp__", "mp00");  // 100 nm
    host().model().modify([](sim::HostState& s) {
      s.user.position = {37.6189 * 3600, -122.375 * 3600, 3000};
    });
  }
  int objects() {
    return host().model().read([](const sim::HostState& s) {
      return static_cast<int>(s.objects.size());
    });
  }
  // The altitude of the pilot's object; -1 when it has none.
  double altitudeOf(const std::string& callsign) {
    return host().model().read([&](const sim::HostState& s) {
      for (const auto& o : s.objects)
        if (o.names[0] == callsign) return o.position.alt;
      return -1.0;
    });
  }
  bool queueFullPosted() const {
    for (const std::string& row : history())
      if (row.rfind("Incoming queue full", 0) == 0) return true;
    return false;
  }
};

std::string Callsign(int n) { return "K" + std::to_string(10000 + n); }

std::string Report(int pilot, int altitude) {
  char line[128];
  std::snprintf(line, sizeof line, "@N:%s:1200:1:%.4f:%.4f:%d:250:0:0\r\n",
                Callsign(pilot).c_str(), 37.0 + 0.03 * (pilot % 40),
                -123.0 + 0.05 * (pilot / 40), altitude);
  return line;
}

// 200 lines a second for a minute (15 s under a sanitizer): every pilot is
// shown at the end, nothing was dropped, and a pilot that climbs is shown
// at its new altitude within 2 s of the report.
TEST_F(CrowdTest, AThousandPilotsReportingForAMinuteAreAllShownAndCurrent) {
  LoopbackPeer peer("127.0.0.158");
  connect(peer, "127.0.0.158");
  constexpr int kPilots = 1000, kMover = 417;
  const double runSeconds = TALVIX_CROWD_SECONDS;
  const auto start = Clock::now();
  const auto elapsed = [&] {
    return std::chrono::duration<double>(Clock::now() - start).count();
  };
  long next = 0;  // the next report: pilot next % N in round next / N
  bool climbed = false;
  double climbSentAt = -1, climbShownAt = -1;
  auto last = Clock::now();
  while (elapsed() < runSeconds) {
    // The reports due by now, pilot i at i/N of each five seconds.
    std::string due;
    while (5.0 * (next / kPilots + double(next % kPilots) / kPilots) <=
           elapsed()) {
      const int pilot = static_cast<int>(next % kPilots);
      const bool climbing = pilot == kMover && elapsed() > runSeconds / 2;
      if (climbing && climbSentAt < 0) climbSentAt = elapsed();
      due += Report(pilot, climbing ? 9000 : 3000);
      climbed |= climbing;
      ++next;
    }
    ASSERT_TRUE(peer.send(due));
    while (peer.readLine(2)) {  // the plug-in's "#TX" requests and reports
    }
    const auto now = Clock::now();
    host().idleOnce(std::chrono::duration<float>(now - last).count());
    last = now;
    if (climbSentAt >= 0 && climbShownAt < 0 &&
        std::fabs(altitudeOf(Callsign(kMover)) - 9000) < 1e-6)
      climbShownAt = elapsed();
  }
  RecordProperty("reports_sent", static_cast<int>(next));
  ASSERT_TRUE(climbed);
  EXPECT_EQ(objects(), kPilots);
  for (int pilot = 0; pilot < kPilots; pilot += 111)
    EXPECT_GE(altitudeOf(Callsign(pilot)), 0) << pilot;
  EXPECT_FALSE(queueFullPosted());
  ASSERT_GE(climbShownAt, 0) << "the climb was never shown";
  RecordProperty("climb_shown_after_ms",
                 static_cast<int>(1000 * (climbShownAt - climbSentAt)));
  EXPECT_LT(climbShownAt - climbSentAt, 2.0);
}

// The local server with the demo world and a crowd of 500: at least 400
// of them are shown within 30 s of the connection.
TEST_F(CrowdTest, TheLocalServersCrowdIsShown) {
  const std::string world = std::string(TALVIX_SOURCE_DIR) + "/data/demo.world";
  const pid_t server = fork();
  ASSERT_GE(server, 0);
  if (server == 0) {
    execl(NETSERVER_PATH, NETSERVER_PATH, "--listen", "127.0.0.159", "--world",
          world.c_str(), "--crowd", "500", static_cast<char*>(nullptr));
    _exit(127);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  openConnectWindow();
  fill("127.0.0.159");
  pressOk();
  const auto start = Clock::now();
  const bool shown = pump([&] { return objects() >= 400; }, 30000);
  RecordProperty(
      "seconds_to_400",
      static_cast<int>(
          std::chrono::duration_cast<std::chrono::seconds>(Clock::now() - start)
              .count()));
  const int seen = objects();
  disconnect();
  kill(server, SIGTERM);
  waitpid(server, nullptr, 0);
  EXPECT_TRUE(shown) << seen << " objects";
  EXPECT_FALSE(queueFullPosted());
}

}  // namespace
}  // namespace talvix
