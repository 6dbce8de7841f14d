// A link that dies in silence: a pulled cable, a sleeping laptop, a VPN
// that goes away. No end of stream, no reset; nftables drops every packet
// of the connection. The plug-in must tell it and end the session as for a
// closed connection. A healthy link that stays quiet must never be cut.
//
// Each test moves the process into a network namespace of its own before it
// opens a socket, so the rules it loads never touch the machine's.
#include <net/if.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "tests/protocol/session_plugin_fixture.h"
#include "tests/support/plugin_socket.h"

namespace talvix {
namespace {

using testing::LoopbackPeer;
using testing::SessionPluginTest;
using Clock = std::chrono::steady_clock;

constexpr char kScaleVariable[] = "TALVIX_TEST_LINK_TIMEOUT_MS";
constexpr char kLost[] = "Connection to the server lost.";
constexpr char kLogin[] = "#APABC:SERVER:123:pw:1:9:3:Jo Lee KSFO";
constexpr char kTwoPilotsAndATower[] =
    "@N:PIL1:1200:1:48.36:-122.30:3500:120:1024:0\r\n"
    "@N:PIL2:1200:1:48.34:-122.31:2500:90:1024:0\r\n"
    "%XYZ_TWR:18150:4:50:3\r\n";

bool CommandWorks(const char* command) {
  return std::system((std::string(command) + " >/dev/null 2>&1").c_str()) == 0;
}

// A network namespace of this process's own with its loopback up; every
// socket and every child made from this thread on lives in it.
bool MovedToPrivateNetwork(std::string* why) {
  if (unshare(CLONE_NEWNET) != 0) {
    *why = std::string("unshare(CLONE_NEWNET): ") + std::strerror(errno);
    return false;
  }
  const int probe = socket(AF_INET, SOCK_DGRAM, 0);
  ifreq request{};
  std::snprintf(request.ifr_name, sizeof request.ifr_name, "lo");
  bool up = probe >= 0 && ioctl(probe, SIOCGIFFLAGS, &request) == 0;
  request.ifr_flags |= IFF_UP;
  up = up && ioctl(probe, SIOCSIFFLAGS, &request) == 0;
  if (!up) *why = std::string("loopback up: ") + std::strerror(errno);
  if (probe >= 0) close(probe);
  return up;
}

// Loads rules into nft; true when it took them.
bool Nft(const std::string& rules) {
  FILE* nft = popen("nft -f - 2>&1", "w");
  if (nft == nullptr) return false;
  std::fputs(rules.c_str(), nft);
  return pclose(nft) == 0;
}

// Every packet of connections to the address's port 6809, both ways, is
// lost on arrival: the senders see their packets leave as on a real link.
bool DropEveryPacketOf(const std::string& address) {
  return Nft(
      "table ip dead_link {\n"
      " chain arriving {\n"
      "  type filter hook input priority 0; policy accept;\n"
      "  ip saddr " +
      address +
      " tcp sport 6809 counter drop\n"
      "  ip daddr " +
      address +
      " tcp dport 6809 counter drop\n"
      " }\n"
      "}\n");
}

// The packets the rules have dropped so far.
long DroppedPackets() {
  FILE* nft = popen("nft list table ip dead_link 2>/dev/null", "r");
  if (nft == nullptr) return -1;
  long total = 0;
  char line[512];
  while (std::fgets(line, sizeof line, nft) != nullptr) {
    if (const char* at = std::strstr(line, "packets "))
      total += std::strtol(at + 8, nullptr, 10);
  }
  pclose(nft);
  return total;
}

// The link watch as read back from the plug-in's own socket: the socket of
// this process whose far end is the address's port 6809.
struct ReadBack {
  int keepalive = -1, keepIdleS = -1, keepIntervalS = -1, keepProbes = -1,
      unackedMs = -1;
};
std::optional<ReadBack> ReadBackFromPluginSocket(const std::string& address) {
  const int fd = testing::PluginSocketTo(address);
  if (fd < 0) return std::nullopt;
  ReadBack got;
  auto get = [fd](int level, int name, int* value) {
    socklen_t length = sizeof *value;
    getsockopt(fd, level, name, value, &length);
  };
  get(SOL_SOCKET, SO_KEEPALIVE, &got.keepalive);
  get(IPPROTO_TCP, TCP_KEEPIDLE, &got.keepIdleS);
  get(IPPROTO_TCP, TCP_KEEPINTVL, &got.keepIntervalS);
  get(IPPROTO_TCP, TCP_KEEPCNT, &got.keepProbes);
  get(IPPROTO_TCP, TCP_USER_TIMEOUT, &got.unackedMs);
  return got;
}

void PlaceUserNearTraffic(sim::Simulator& host) {
  host.model().modify([](sim::HostState& s) {
    s.user.position = {48.3534 * 3600, (360 - 122.3092) * 3600, 3500};
  });
}

// Socket buffers of 4 kB for every new socket of this namespace (the two
// settings are the namespace's own), so a server that stops reading fills
// them after a few lines.
bool SmallSocketBuffers() {
  for (const char* name :
       {"/proc/sys/net/ipv4/tcp_wmem", "/proc/sys/net/ipv4/tcp_rmem"}) {
    FILE* file = std::fopen(name, "w");
    if (file == nullptr) return false;
    const bool written = std::fputs("4096 4096 4096", file) >= 0;
    if (std::fclose(file) != 0 || !written) return false;
  }
  return true;
}

// One way of running the session: the link watch at its shipped values, or
// at the test scale, and how long a dead link may take to be told.
struct Scale {
  const char* name;
  const char* variable;  // TALVIX_TEST_LINK_TIMEOUT_MS, or none
  platform::LinkWatch expected;
  int toldWithinMs;
};

void PrintTo(const Scale& scale, std::ostream* out) { *out << scale.name; }

const Scale kShipped{"Shipped", nullptr, platform::kSessionLinkWatch, 45000};
// A fifteenth of the shipped scale: keepalive seconds round up to one.
const Scale kTestScale{"TestScale", "2000", {1000, 1000, 3, 2000}, 12000};

class DeadLinkTest : public SessionPluginTest,
                     public ::testing::WithParamInterface<Scale> {
 protected:
  void SetUp() override {
    if (geteuid() != 0)
      GTEST_SKIP() << "needs root for a network namespace of its own";
    if (!CommandWorks("nft --version"))
      GTEST_SKIP() << "needs nft (Debian package nftables) to drop packets";
    std::string why;
    ASSERT_TRUE(MovedToPrivateNetwork(&why)) << why;
    // Read by the plug-in when a connection completes.
    if (GetParam().variable != nullptr)
      setenv(kScaleVariable, GetParam().variable, 1);
    else
      unsetenv(kScaleVariable);
    SessionPluginTest::SetUp();
  }
  void TearDown() override {
    SessionPluginTest::TearDown();
    unsetenv(kScaleVariable);
  }

  // Idle calls with the time that has really passed, so the position
  // report goes every five seconds and the lists age as they would.
  template <typename Pred>
  bool live(Pred pred, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    auto last = Clock::now();
    for (;;) {
      const auto now = Clock::now();
      host().idleOnce(std::chrono::duration<float>(now - last).count());
      last = now;
      if (pred()) return true;
      if (Clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  std::vector<std::string> items(const char (&popup)[5]) const {
    std::vector<std::string> texts;
    if (auto c = control("txMN", popup)) {
      for (const auto& item : c->items) texts.push_back(item.text);
    }
    return texts;
  }
  void expectWatch(const std::string& address) {
    const std::optional<ReadBack> got = ReadBackFromPluginSocket(address);
    ASSERT_TRUE(got.has_value()) << "no socket of the plug-in to " << address;
    const platform::LinkWatch& want = GetParam().expected;
    EXPECT_EQ(got->keepalive, 1);
    EXPECT_EQ(got->keepIdleS, want.keepIdleMs / 1000);
    EXPECT_EQ(got->keepIntervalS, want.keepIntervalMs / 1000);
    EXPECT_EQ(got->keepProbes, want.keepProbes);
    EXPECT_EQ(got->unackedMs, want.unackedMs);
  }
};

TEST_P(DeadLinkTest, SilentlyDeadLinkIsToldOnceAndTidied) {
  const std::string address = "127.0.0.210";
  PlaceUserNearTraffic(host());
  event("txMN", "mp__", "slct", static_cast<int>(FourCC("mp40")));
  LoopbackPeer peer(address);
  ASSERT_NO_FATAL_FAILURE(connect(peer, address));
  ASSERT_TRUE(peer.send(kTwoPilotsAndATower));
  ASSERT_TRUE(live(
      [&] { return state().objects.size() == 2 && items("sAtc").size() == 2; },
      5000));
  ASSERT_NO_FATAL_FAILURE(expectWatch(address));
  const std::vector<std::string> before = history();

  ASSERT_TRUE(DropEveryPacketOf(address));
  const auto dropped = Clock::now();
  const bool told =
      live([&] { return historyCount(kLost) > 0; }, GetParam().toldWithinMs);
  const double seconds =
      std::chrono::duration<double>(Clock::now() - dropped).count();
  std::printf("dead link told after %.1f s (%s scale)\n", seconds,
              GetParam().name);
  RecordProperty("told_after_ms", static_cast<int>(seconds * 1000));
  ASSERT_TRUE(told) << "nothing said " << seconds << " s after the drop";
  EXPECT_GT(DroppedPackets(), 0);
  live([] { return false; }, 300);

  // Told once, after everything that was there, and nothing else said.
  std::vector<std::string> expected = before;
  expected.push_back(kLost);
  EXPECT_EQ(history(), expected);
  EXPECT_EQ(historyCount(kLost), 1);
  EXPECT_TRUE(state().objects.empty());
  EXPECT_EQ(items("sAtc"), std::vector<std::string>{"UNICOM_CTR"});
  EXPECT_EQ(items("spMg"), std::vector<std::string>{"------"});

  // Connect works at once against a fresh peer.
  LoopbackPeer fresh("127.0.0.211");
  ASSERT_TRUE(fresh.listening());
  reconnect("127.0.0.211");
  ASSERT_TRUE(fresh.accept());
  EXPECT_EQ(fresh.readLine(), kLogin);
  ASSERT_TRUE(fresh.send("$PIXYZ:ABC:7\r\n"));
  std::optional<std::string> pong;
  live([&] { return (pong = fresh.readLine(2)).has_value(); }, 5000);
  EXPECT_EQ(pong, "$POABC:XYZ:7");
  disconnect();
}

TEST_P(DeadLinkTest, QuietHealthyLinkStaysConnected) {
  // Nobody else online and not a line from the server, for many times the
  // bound on unacknowledged data and the keepalive idle time: the own
  // reports and the keepalive probes are acknowledged, so nothing trips.
  // An hour is out of reach: the shipped scale runs 40 s, past the bound
  // and four keepalive idle times; the test scale runs eight bounds.
  const std::string address = "127.0.0.212";
  LoopbackPeer peer(address);
  ASSERT_NO_FATAL_FAILURE(connect(peer, address));
  ASSERT_NO_FATAL_FAILURE(expectWatch(address));
  const std::vector<std::string> before = history();

  const int quietMs = std::min(8 * GetParam().expected.unackedMs, 40000);
  live([] { return false; }, quietMs);
  // The own reports went out all along, every five seconds.
  int reports = 0;
  while (auto line = peer.readLine(100)) reports += line->rfind("@", 0) == 0;
  EXPECT_GE(reports, quietMs / 5000 - 1);
  EXPECT_EQ(history(), before);
  EXPECT_FALSE(peer.closed());

  // Still the same session: a ping now is answered on it.
  ASSERT_TRUE(peer.send("$PIXYZ:ABC:9\r\n"));
  std::optional<std::string> pong;
  live(
      [&] {
        while ((pong = peer.readLine(2)) && pong->rfind("@", 0) == 0) {
        }
        return pong.has_value();
      },
      5000);
  EXPECT_EQ(pong, "$POABC:XYZ:9");
  disconnect();
}

// A server that stops reading for 15 s while 60 long chat lines are typed:
// only lines written are shown as sent, and all leave once and in order
// when it reads again. One that never reads again is a lost link, told in
// time with the lines left unsent (alone at the test scale, whose bound is
// shorter than the pause).
TEST_P(DeadLinkTest, AServerThatStopsReadingLosesNoLine) {
  ASSERT_TRUE(SmallSocketBuffers());
  LoopbackPeer peer("127.0.0.215");
  ASSERT_NO_FATAL_FAILURE(connect(peer, "127.0.0.215"));
  std::vector<std::string> typed, echoes, wire;
  int reports = 0;  // own reports read
  const auto type60 = [&] {
    for (std::size_t end = typed.size() + 60; typed.size() < end;) {
      typed.push_back("line " + std::to_string(typed.size()) + " " +
                      std::string(140, 'x'));
      host().model().setText(static_cast<int>(FourCC("txMN")),
                             static_cast<int>(FourCC("text")),
                             typed.back().c_str());
      event("txMN", "text", "tent");
      live([] { return false; }, 20);
    }
  };
  const auto shown = [&] {  // the echoes of the lines typed, in order
    echoes.clear();
    for (const std::string& row : history())
      if (row.rfind("ABC: line ", 0) == 0) echoes.push_back(row.substr(5));
    return echoes.size();
  };
  const auto read = [&](auto done) {  // idles while the peer reads
    return live(
        [&] {
          while (auto line = peer.readLine(5)) {
            if (line->size() > 7 && line->compare(2, 5, ":ABC:") == 0 &&
                (*line)[0] == '@')
              ++reports;
            else
              wire.push_back(*line);
          }
          return done();
        },
        10000);
  };
  if (GetParam().variable == nullptr) {
    type60();
    live([] { return false; }, 15000);  // the peer reads nothing meanwhile
    EXPECT_LT(shown(), typed.size());
    ASSERT_TRUE(read([&] { return wire.size() == 60; }));
    for (std::size_t i = 0; i < typed.size(); ++i)
      EXPECT_EQ(wire[i], "#TMABC:@22800:" + typed[i]);
    shown();
    EXPECT_EQ(echoes, typed);
    // The session works on: a ping is answered, an own report leaves.
    ASSERT_TRUE(peer.send("$PISERVER:ABC:4711\r\n"));
    reports = 0;
    EXPECT_TRUE(read([&] { return wire.size() == 61 && reports > 0; }));
    EXPECT_EQ(wire.back(), "$POABC:SERVER:4711");
  }
  // Now it never reads again.
  type60();
  ASSERT_TRUE(
      live([&] { return historyCount(kLost) > 0; }, GetParam().toldWithinMs));
  live([] { return false; }, 300);
  ASSERT_LT(shown(), typed.size());
  EXPECT_TRUE(std::equal(echoes.begin(), echoes.end(), typed.begin()));
  const std::vector<std::string> rows = history();
  ASSERT_EQ(rows[rows.size() - 2], kLost);
  // The lines not written and the own reports queued behind them.
  const int unsent = static_cast<int>(typed.size() - echoes.size());
  EXPECT_GE(std::atoi(rows.back().c_str()), unsent) << rows.back();
  EXPECT_LE(std::atoi(rows.back().c_str()), unsent + 10) << rows.back();
  EXPECT_NE(rows.back().find(" lines not sent to the server."),
            std::string::npos);
  disconnect();
}

INSTANTIATE_TEST_SUITE_P(Scales, DeadLinkTest,
                         ::testing::Values(kShipped, kTestScale),
                         [](const ::testing::TestParamInfo<Scale>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace talvix
