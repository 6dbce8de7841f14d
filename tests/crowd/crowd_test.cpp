// A busy network through the real plug-in in the stand-in host at 100 nm
// range: a peer with a thousand pilots reporting every five seconds, a
// thousand pilots coming into range within a second, and the local server
// with a crowd of 500.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

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

// A thousand pilots come into range within one second (fewer under a
// sanitizer, TALVIX_BURST_PILOTS) and go on reporting every five seconds.
// The two "#TX" requests each of them brings keep the sender busy for
// nearly two minutes; all that time every own report leaves within a
// second of the tick that made it, as does a chat line typed meanwhile, and
// the requests all leave, each once, in the order they were queued.
TEST_F(CrowdTest, AThousandNewPilotsHoldNeitherTheOwnReportNorTheUserBack) {
  LoopbackPeer peer("127.0.0.166");
  connect(peer, "127.0.0.166");
  constexpr int kPilots = TALVIX_BURST_PILOTS;
  const double watchSeconds = TALVIX_BURST_SECONDS;
  // Ends the tick the timer is in: the next one comes five seconds of
  // idle time after this call, which the loop below counts the same way
  // the plug-in does.
  host().idleOnce(6.0f);
  float positionTimer = 5.0f;
  std::vector<Clock::time_point> ticks{Clock::now()};
  std::vector<Clock::time_point> reportsAt;
  std::vector<std::string> requests;
  Clock::time_point typedAt{}, chatAt{};
  int requestsWaitingWhenTyped = 0;
  const auto take = [&](const std::string& line) {
    const auto now = Clock::now();
    if (line.rfind("@", 0) == 0) {
      reportsAt.push_back(now);
    } else if (line.rfind("#TX", 0) == 0) {
      requests.push_back(line);
    } else if (line == "#TMABC:@22800:hello") {
      chatAt = now;
    } else {
      ADD_FAILURE() << "unexpected line " << line;
    }
  };

  const auto start = Clock::now();
  const auto elapsed = [&] {
    return std::chrono::duration<double>(Clock::now() - start).count();
  };
  // Pilot i's first report at i/N of the first second, then at i/N of
  // every five seconds after it.
  const auto due = [&](long k) {
    const long round = k / kPilots;
    const double part = double(k % kPilots) / kPilots;
    return round == 0 ? part : 5.0 * (round + part);
  };
  long next = 0;
  auto last = Clock::now();
  const double deadline = watchSeconds + 30;
  while (elapsed() < watchSeconds ||
         (requests.size() < 2u * kPilots && elapsed() < deadline)) {
    std::string lines;
    for (; due(next) <= elapsed(); ++next)
      lines += Report(static_cast<int>(next % kPilots), 3000);
    ASSERT_TRUE(peer.send(lines));
    while (auto line = peer.readLine(2)) take(*line);
    if (typedAt == Clock::time_point{} && elapsed() > watchSeconds / 6) {
      requestsWaitingWhenTyped =
          2 * kPilots - static_cast<int>(requests.size());
      host().model().setText(static_cast<int>(FourCC("txMN")),
                             static_cast<int>(FourCC("text")), "hello");
      typedAt = Clock::now();
      event("txMN", "text", "tent");
    }
    const auto now = Clock::now();
    const float dt = std::chrono::duration<float>(now - last).count();
    last = now;
    positionTimer -= dt;
    if (positionTimer < 0.0f) {
      positionTimer = 5.0f;
      ticks.push_back(now);
    }
    host().idleOnce(dt);
  }
  // The last tick's report may still be on its way.
  while (reportsAt.size() < ticks.size()) {
    const auto line = peer.readLine(2000);
    if (!line) break;
    take(*line);
  }

  // Every tick sent one report, within a second of the tick.
  ASSERT_EQ(reportsAt.size(), ticks.size());
  double worst = 0;
  for (std::size_t i = 0; i < ticks.size(); ++i) {
    const double delay =
        std::chrono::duration<double>(reportsAt[i] - ticks[i]).count();
    EXPECT_GE(delay, 0) << "report " << i << " came before its tick";
    EXPECT_LT(delay, 1.0) << "report " << i;
    worst = std::max(worst, delay);
  }
  RecordProperty("ticks", static_cast<int>(ticks.size()));
  RecordProperty("report_worst_ms", static_cast<int>(1000 * worst));
  EXPECT_GE(ticks.size(), static_cast<std::size_t>(watchSeconds / 5));

  // The chat line overtook a long wait of requests.
  ASSERT_NE(chatAt, Clock::time_point{}) << "the chat line never left";
  EXPECT_GT(requestsWaitingWhenTyped, kPilots / 2);
  EXPECT_LT(std::chrono::duration<double>(chatAt - typedAt).count(), 1.0);
  EXPECT_TRUE(historyHas("ABC: hello"));

  // Every request once, in the order of the pilots' first reports.
  std::vector<std::string> expected;
  for (int pilot = 0; pilot < kPilots; ++pilot)
    for (const char* request : {"PIR", "VIR"})
      expected.push_back("#TXABC:" + Callsign(pilot) + ":" + request);
  EXPECT_EQ(requests, expected);
  EXPECT_EQ(objects(), kPilots);
  EXPECT_FALSE(queueFullPosted());
  for (const std::string& row : history())
    EXPECT_NE(row.rfind("Outgoing queue full", 0), 0u) << row;
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
