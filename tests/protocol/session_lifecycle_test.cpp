// Lost and failed connections, disconnect in the middle of traffic, and
// many connect and disconnect cycles against a busy peer.
#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "core/host.h"
#include "core/text.h"
#include "net/connection_record.h"
#include "net/packet.h"
#include "net/session.h"
#include "sim/host_table.h"
#include "tests/protocol/session_plugin_fixture.h"
#include "tests/server/server_process.h"
#include "tests/support/failing_allocation.h"
#include "tests/support/plugin_socket.h"
#include "ui/window_codes.h"

namespace talvix {
namespace {

using testing::LoopbackPeer;
using testing::SessionPluginTest;

using SessionLifecycleTest = SessionPluginTest;

int ThreadCount() {
  int n = 0;
  if (DIR* tasks = opendir("/proc/self/task")) {
    while (dirent* entry = readdir(tasks)) n += entry->d_name[0] != '.';
    closedir(tasks);
  }
  return n;
}

// The count before a test's first thread: ThreadSanitizer starts a thread of
// its own with the process's first new thread, so one short-lived thread is
// made first and the baseline already holds the sanitizer's.
int BaselineThreadCount() {
  pid_t tid = 0;
  std::thread([&tid] { tid = gettid(); }).join();
  // Its task leaves /proc a moment after the join.
  const std::string task = "/proc/self/task/" + std::to_string(tid);
  for (int wait = 0; wait < 100 && access(task.c_str(), F_OK) == 0; ++wait)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return ThreadCount();
}

// The count once it has come down to `expected`, or after a second. A joined
// thread's task still shows in /proc for a moment after the join returns: the
// kernel wakes the joiner before it has finished the thread's exit.
int ThreadCountSettledAt(int expected) {
  int count = ThreadCount();
  for (int wait = 0; wait < 100 && count > expected; ++wait) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    count = ThreadCount();
  }
  return count;
}

// Each task of this process: id, name, state and where it sleeps, for the
// message of a failed count.
std::string TaskList() {
  std::string list;
  if (DIR* tasks = opendir("/proc/self/task")) {
    while (dirent* entry = readdir(tasks)) {
      if (entry->d_name[0] == '.') continue;
      const std::string dir = std::string("/proc/self/task/") + entry->d_name;
      auto read = [&](const char* file) {
        std::string text;
        if (FILE* f = fopen((dir + "/" + file).c_str(), "r")) {
          char buffer[256] = {};
          text = fgets(buffer, sizeof buffer, f) ? buffer : "";
          fclose(f);
        }
        while (!text.empty() && text.back() == '\n') text.pop_back();
        return text;
      };
      std::string state = read("stat");
      const std::size_t paren = state.rfind(')');
      state = paren == std::string::npos ? "?" : state.substr(paren + 2, 1);
      list += std::string(entry->d_name) + " " + read("comm") + " " + state +
              " " + read("wchan") + "\n";
    }
    closedir(tasks);
  }
  return list;
}

// A listener that takes no connection in time: its backlog of one is filled
// by two connects it never accepts, so a further connect stays pending.
class FullBacklogListener {
 public:
  explicit FullBacklogListener(const char* address) {
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(LoopbackPeer::kPort);
    inet_pton(AF_INET, address, &at.sin_addr);
    const int on = 1;
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    ready_ =
        bind(listener_, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 &&
        listen(listener_, 0) == 0;
    for (int& filler : fillers_) {
      filler = socket(AF_INET, SOCK_STREAM, 0);
      fcntl(filler, F_SETFL, O_NONBLOCK);
      connect(filler, reinterpret_cast<sockaddr*>(&at), sizeof at);
    }
  }
  ~FullBacklogListener() {
    for (int filler : fillers_) close(filler);
    close(listener_);
  }
  bool ready() const { return ready_; }

 private:
  int listener_ = -1;
  int fillers_[2] = {-1, -1};
  bool ready_ = false;
};

double MillisecondsOf(const std::function<void()>& step) {
  const auto start = std::chrono::steady_clock::now();
  step();
  return std::chrono::duration<double, std::milli>(
             std::chrono::steady_clock::now() - start)
      .count();
}

// Accepts one client after another and sends each a ping every 10 ms (100
// lines a second) while reading whatever comes back.
class BusyPeer {
 public:
  explicit BusyPeer(const std::string& address)
      : peer_(address), thread_([this] { serve(); }) {}
  ~BusyPeer() {
    stop_ = true;
    thread_.join();
  }
  bool listening() const { return peer_.listening(); }
  int accepted() const { return accepted_.load(); }
  int pongs() const { return pongs_.load(); }

 private:
  void serve() {
    int sequence = 0;
    while (!stop_) {
      if (!peer_.connected() || peer_.closed()) {
        if (peer_.accept(20)) ++accepted_;
        continue;
      }
      peer_.send("$PIXYZ:ABC:" + std::to_string(++sequence) + "\r\n");
      while (auto line = peer_.readLine(10)) {
        if (line->rfind("$PO", 0) == 0) ++pongs_;
      }
    }
  }

  LoopbackPeer peer_;
  std::atomic<bool> stop_{false};
  std::atomic<int> accepted_{0};
  std::atomic<int> pongs_{0};
  std::thread thread_;
};

constexpr char kLost[] = "Connection to the server lost.";
constexpr char kLogin[] = "#APABC:SERVER:123:pw:1:9:3:Jo Lee KSFO";
constexpr char kUnicomSwitch[] =
    "====> switched to UNICOM_CTR on 122.800 (expect ATIS)";

// The user's aircraft and two pilots beside it, in a range of 40 miles.
void PlaceUserNearTraffic(sim::Simulator& host) {
  host.model().modify([](sim::HostState& s) {
    s.user.position = {48.3534 * 3600, (360 - 122.3092) * 3600, 3500};
  });
}
constexpr char kTwoPilotsAndATower[] =
    "@N:PIL1:1200:1:48.36:-122.30:3500:120:1024:0\r\n"
    "@N:PIL2:1200:1:48.34:-122.31:2500:90:1024:0\r\n"
    "%XYZ_TWR:18150:4:50:3\r\n";

class LostConnectionTest : public SessionLifecycleTest {
 protected:
  // The screen notices shown since the from-th, as seconds and text.
  std::vector<std::string> noticesSince(std::size_t from) const {
    const auto all = state().notices;
    std::vector<std::string> shown;
    for (std::size_t i = from; i < all.size(); ++i) {
      shown.push_back(std::to_string(static_cast<int>(all[i].seconds)) + " " +
                      all[i].text);
    }
    return shown;
  }
  std::vector<std::string> items(const char (&popup)[5]) const {
    std::vector<std::string> texts;
    if (auto c = control("txMN", popup)) {
      for (const auto& item : c->items) texts.push_back(item.text);
    }
    return texts;
  }
  // Logs in at the address, gets two pilots and a tower, then the server
  // goes the given way. Within 2 s the loss is told once and the session
  // is tidied; a new Connect to a fresh peer logs in.
  void loseTheServer(const std::string& address,
                     const std::function<void(LoopbackPeer&)>& go,
                     const std::string& freshAddress) {
    PlaceUserNearTraffic(host());
    event("txMN", "mp__", "slct", static_cast<int>(FourCC("mp40")));
    LoopbackPeer peer(address);
    ASSERT_NO_FATAL_FAILURE(connect(peer, address));
    ASSERT_TRUE(peer.send(kTwoPilotsAndATower));
    ASSERT_TRUE(pump([&] {
      return state().objects.size() == 2 && items("sAtc").size() == 2;
    }));
    const std::vector<std::string> before = history();
    ASSERT_FALSE(before.empty());
    const int attentionBefore = sounds("ATTN.WAV");
    const std::size_t noticesBefore = state().notices.size();

    go(peer);
    ASSERT_TRUE(pump([&] { return historyHas(kLost); }, 2000));
    pumpFor(300);
    EXPECT_EQ(historyCount(kLost), 1);
    // Also told on the screen for ten seconds, with the attention sound.
    EXPECT_EQ(noticesSince(noticesBefore),
              std::vector<std::string>{"10 " + std::string(kLost)});
    EXPECT_EQ(sounds("ATTN.WAV"), attentionBefore + 1);
    // The history keeps what was there, the loss comes after it.
    const std::vector<std::string> after = history();
    ASSERT_GT(after.size(), before.size());
    EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
    EXPECT_TRUE(historyHas(kUnicomSwitch));
    // Last, or followed by the count of lines it left unsent.
    const bool counted = std::regex_match(
        after.back(),
        std::regex("[1-9][0-9]* lines? not sent to the server\\."));
    EXPECT_EQ(after[after.size() - 1 - counted], kLost) << after.back();
    EXPECT_TRUE(state().objects.empty());
    EXPECT_EQ(items("sAtc"), std::vector<std::string>{"UNICOM_CTR"});
    EXPECT_EQ(items("spMg"), std::vector<std::string>{"------"});

    // Connect works at once, no Disconnect first.
    LoopbackPeer fresh(freshAddress);
    ASSERT_TRUE(fresh.listening());
    reconnect(freshAddress);
    ASSERT_TRUE(fresh.accept());
    EXPECT_EQ(fresh.readLine(), kLogin);
    ASSERT_TRUE(fresh.send("$PIXYZ:ABC:7\r\n"));
    EXPECT_EQ(answer(fresh), "$POABC:XYZ:7");
    disconnect();
  }
};

TEST_F(LostConnectionTest, ServerClosingMidSessionIsToldOnceAndTidied) {
  loseTheServer("127.0.0.1", &LoopbackPeer::closeClient, "127.0.0.190");
}

TEST_F(LostConnectionTest, ResetConnectionIsToldOnceAndTidied) {
  loseTheServer("127.0.0.191", &LoopbackPeer::resetClient, "127.0.0.199");
}

// The plug-in's own end can no longer send, while reading finds nothing
// amiss: the failed write alone tells that the link is broken.
TEST_F(LostConnectionTest, AFailedWriteIsToldOnceAndTidied) {
  const std::string address = "127.0.0.213";
  loseTheServer(
      address,
      [&](LoopbackPeer& peer) {
        ASSERT_EQ(shutdown(testing::PluginSocketTo(address), SHUT_WR), 0);
        // The answer to a ping is the write that fails.
        ASSERT_TRUE(peer.send("$PIXYZ:ABC:5\r\n"));
      },
      "127.0.0.214");
}

// Lines still queued when the server closes are handled first; the loss is
// told after them.
TEST_F(LostConnectionTest, LinesReceivedBeforeTheCloseAreHandledFirst) {
  LoopbackPeer peer("127.0.0.195");
  connect(peer, "127.0.0.195");
  std::string burst;
  for (int i = 0; i < 5; ++i)
    burst += "$ERserver:ABC:" + std::to_string(2000 + i) + "\r\n";
  ASSERT_TRUE(peer.send(burst));
  peer.closeClient();
  ASSERT_TRUE(pump([&] { return historyHas(kLost); }, 3000));
  const std::vector<std::string> rows = history();
  ASSERT_GE(rows.size(), 6u);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(rows[rows.size() - 6 + static_cast<std::size_t>(i)],
              "Unknown server error " + std::to_string(2000 + i));
  }
  EXPECT_EQ(rows.back(), kLost);
}

// With the main window closed a history line is lost: the end of the
// session is still told, on the screen and by the attention sound, and the
// scope empties.
TEST_F(LostConnectionTest, WithTheMainWindowClosedTheLossIsStillTold) {
  PlaceUserNearTraffic(host());
  event("txMN", "mp__", "slct", static_cast<int>(FourCC("mp40")));
  LoopbackPeer peer("127.0.0.212");
  ASSERT_NO_FATAL_FAILURE(connect(peer, "127.0.0.212"));
  ASSERT_TRUE(peer.send(kTwoPilotsAndATower));
  ASSERT_TRUE(pump([&] { return state().objects.size() == 2; }));
  ASSERT_TRUE(host().userClose(FourCC("txMN")));
  ASSERT_FALSE(isOpen("txMN"));
  EXPECT_EQ(sounds("ATTN.WAV"), 0);
  const std::size_t noticesBefore = state().notices.size();

  peer.closeClient();
  ASSERT_TRUE(pump([&] { return !noticesSince(noticesBefore).empty(); }, 3000));
  pumpFor(300);
  EXPECT_EQ(noticesSince(noticesBefore),
            std::vector<std::string>{"10 " + std::string(kLost)});
  EXPECT_EQ(sounds("ATTN.WAV"), 1);
  EXPECT_TRUE(state().objects.empty());
  // The session has ended: Connect from the new window logs in again.
  openMainWindow();
  reconnect("127.0.0.212");
  ASSERT_TRUE(peer.accept());
  EXPECT_EQ(peer.readLine(), kLogin);
  disconnect();
}

// A connection that never comes about is told with its address, and OK in
// the connect window starts a new attempt without a Disconnect.
// Server names are held whole up to 63 characters: the one looked up and
// told is the one chosen.
TEST_F(LostConnectionTest, ARefusedOrUnresolvableConnectionIsToldAndEnded) {
  for (const std::string& address :
       {std::string("127.0.0.192"), std::string("nohost.invalid"),
        std::string("no-such-host.invalid"),
        std::string(32, 'x') + ".invalid",     // 40
        std::string(55, 'y') + ".invalid"}) {  // 63
    SCOPED_TRACE(address);
    const std::string told =
        "Could not connect to the server at " + address + ".";
    openConnectWindow();
    fill(address);  // nobody listens there
    pressOk();
    EXPECT_FALSE(isOpen("txCN"));
    const int attentionBefore = sounds("ATTN.WAV");
    const std::size_t noticesBefore = state().notices.size();
    ASSERT_TRUE(pump([&] { return historyHas(told); }, 5000));
    pumpFor(200);
    EXPECT_EQ(historyCount(told), 1);
    EXPECT_FALSE(historyHas(kLost));
    EXPECT_EQ(noticesSince(noticesBefore),
              std::vector<std::string>{"10 " + told});
    EXPECT_EQ(sounds("ATTN.WAV"), attentionBefore + 1);
    // Sounds last one second of host time: the next cue is not held back.
    host().model().modify([](sim::HostState& s) { s.hostTime += 2.0; });

    LoopbackPeer peer("127.0.0.192");
    ASSERT_TRUE(peer.listening());
    reconnect("127.0.0.192");
    ASSERT_TRUE(peer.accept());
    EXPECT_EQ(peer.readLine(), kLogin);
    disconnect();
  }
}

// A server name of 64 characters or more is refused at OK, never cut and
// tried: nothing is written, the window stays open for another choice.
TEST_F(LostConnectionTest, AServerNameTooLongToHoldIsRefused) {
  const std::string refusal =
      "Server name longer than 63 characters: choose another server.";
  for (const std::string& address :
       {std::string(56, 'z') + ".invalid", std::string(300, 'z')}) {
    SCOPED_TRACE(address.size());
    host().model().modify([](sim::HostState& s) { s.alerts.clear(); });
    const auto settingsBefore = host().model().settings("Talvix");
    openConnectWindow();
    fill(address);
    pressOk();
    EXPECT_EQ(state().alerts, std::vector<std::string>{refusal});
    EXPECT_EQ(state().windows.at(FourCC("txCN")).focus, FourCC("ipMN"));
    EXPECT_TRUE(isOpen("txCN"));
    EXPECT_EQ(host().model().settings("Talvix"), settingsBefore);
    pumpFor(300);
    for (const std::string& row : history())
      EXPECT_EQ(row.find("Could not connect"), std::string::npos) << row;

    // The next choice that fits connects.
    LoopbackPeer peer("127.0.0.218");
    ASSERT_TRUE(peer.listening());
    host().model().addPopupItem(static_cast<int>(FourCC("txCN")),
                                static_cast<int>(FourCC("ipMN")),
                                kServerItem + 1, "127.0.0.218");
    select("txCN", "ipMN", kServerItem + 1);
    pressOk();
    EXPECT_FALSE(isOpen("txCN"));
    ASSERT_TRUE(peer.accept());
    EXPECT_EQ(peer.readLine(), kLogin);
    disconnect();
  }
}

// The local server closes the connection after a fatal login error: the
// error and then the loss are told once each, and a Connect under a valid
// callsign logs in.
TEST_F(LostConnectionTest, AFatalLoginErrorOfTheLocalServerEndsTheSession) {
  netserver::testing::ServerProcess server(
      {"--listen", "127.0.0.193", "--port", "6809"});
  ASSERT_TRUE(server.waitForLine("listen 127.0.0.193 6809").has_value());
  openConnectWindow();
  fill("127.0.0.193", "SERVER");  // no callsign of a member
  pressOk();
  ASSERT_TRUE(server.waitForLine("reject SERVER invalid callsign").has_value());
  ASSERT_TRUE(pump([&] { return historyHas(kLost); }, 3000));
  pumpFor(300);
  EXPECT_EQ(historyCount("Error: Invalid Callsign"), 1);
  EXPECT_EQ(historyCount(kLost), 1);
  EXPECT_TRUE(state().objects.empty());

  openConnectWindow();
  fill("127.0.0.193", "ABC");
  pressOk();
  EXPECT_TRUE(server.waitForLine("login ABC").has_value());
  disconnect();
  EXPECT_TRUE(server.waitForLine("logout ABC").has_value());
}

// A connection attempt the server never answers must not hold up the
// simulator: Disconnect and unloading each end the waiting receiver at once,
// and no thread of the plug-in is left behind.
TEST_F(SessionLifecycleTest, DisconnectAndUnloadWhileConnectingReturnAtOnce) {
  const int threadsBefore = BaselineThreadCount();
  FullBacklogListener silent("127.0.0.125");
  ASSERT_TRUE(silent.ready());
  for (const bool disconnectFirst : {true, false}) {
    SCOPED_TRACE(disconnectFirst ? "Disconnect, then unload" : "unload");
    if (!disconnectFirst) {
      SetUp();  // a fresh simulator with the plug-in loaded
      ASSERT_FALSE(HasFatalFailure());
    }
    openConnectWindow();
    fill("127.0.0.125");
    pressOk();
    pumpFor(300);  // the receiver is waiting for the connection
    EXPECT_EQ(ThreadCount(), threadsBefore + 2);
    if (disconnectFirst) {
      const double disconnectMs = MillisecondsOf([&] { disconnect(); });
      EXPECT_LT(disconnectMs, 100.0);
      RecordProperty("DisconnectMs", std::to_string(disconnectMs));
    }
    const double unloadMs = MillisecondsOf([&] { host().unload(); });
    EXPECT_LT(unloadMs, 2000.0);
    RecordProperty(disconnectFirst ? "UnloadAfterDisconnectMs" : "UnloadMs",
                   std::to_string(unloadMs));
    EXPECT_EQ(ThreadCountSettledAt(threadsBefore), threadsBefore);
    TearDown();
  }
}

TEST_F(SessionLifecycleTest, DisconnectDuringTrafficDiscardsTheQueues) {
  LoopbackPeer peer("127.0.0.121");
  connect(peer, "127.0.0.121");
  std::string pings;
  for (int i = 0; i < 40; ++i)
    pings += "$PIXYZ:ABC:" + std::to_string(i) + "\r\n";
  ASSERT_TRUE(peer.send(pings));
  // Some are queued, none handled yet (no idle calls).
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  disconnect();
  EXPECT_TRUE(peer.waitForClose());
  EXPECT_EQ(historyCount("PONG Sent"), 0);

  reconnect("127.0.0.121");
  ASSERT_TRUE(peer.accept());
  EXPECT_EQ(peer.readLine(), "#APABC:SERVER:123:pw:1:9:3:Jo Lee KSFO");
  pumpFor(300);
  // Nothing of the old session is handled or sent in the new one.
  EXPECT_EQ(historyCount("PONG Sent"), 0);
  EXPECT_FALSE(answer(peer, 100).has_value());
  ASSERT_TRUE(peer.send("$PIXYZ:ABC:new\r\n"));
  EXPECT_EQ(answer(peer), "$POABC:XYZ:new");
}

// Out of memory for the session, its sender or the login line: the user is
// told, nothing half made is left running, and the next Connect logs in.
// The plug-in's copy inside this test process connects through the same
// host, so one of its allocations can be made to fail.
TEST_F(SessionLifecycleTest, AnAllocationFailingAtConnectLeavesNothingBehind) {
  const int threadsBefore = BaselineThreadCount();
  LoopbackPeer peer("127.0.0.126");
  ASSERT_TRUE(peer.listening());
  const HostServicesTable table = sim::BuildHostTable();
  host::Install(&table, sim::kReferenceNumber);
  // The server is taken from the popup when it is chosen, by the loaded
  // plug-in; this copy is told it here.
  CopyText(Connection().server, "127.0.0.126");
  for (int skip = 0; skip < 3; ++skip) {
    SCOPED_TRACE(skip);
    openConnectWindow();
    fill("127.0.0.126");
    {
      testing::FailingNothrowAllocation failing(skip);
      connectToServer(codes::kOkButton);
      EXPECT_TRUE(failing.failed());
    }
    EXPECT_EQ(state().alerts.back(), kFatalMemoryErrorText);
    EXPECT_EQ(state().alerts.size(), static_cast<std::size_t>(skip + 1));
    EXPECT_TRUE(currentSession() == nullptr);
    EXPECT_EQ(ThreadCountSettledAt(threadsBefore), threadsBefore);
  }
  openConnectWindow();
  fill("127.0.0.126");
  connectToServer(codes::kOkButton);
  ASSERT_TRUE(currentSession() != nullptr);
  // A half-made session may have reached the peer; the login comes on the
  // last connection.
  std::optional<std::string> login;
  while (!login && peer.accept(2000)) login = peer.readLine(500);
  EXPECT_EQ(login, "#APABC:SERVER:123:pw:1:9:3:Jo Lee KSFO");
  disconnectFromServer();
  EXPECT_TRUE(peer.waitForClose());
}

TEST_F(SessionLifecycleTest, FiftyCyclesAgainstABusyPeerLeaveNothingBehind) {
  const int threadsBefore = BaselineThreadCount();
  {
    BusyPeer peer("127.0.0.124");
    ASSERT_TRUE(peer.listening());
    const int peerThreads = ThreadCount();
    for (int cycle = 0; cycle < 50; ++cycle) {
      SCOPED_TRACE(cycle);
      openConnectWindow();
      fill("127.0.0.124");
      pressOk();
      ASSERT_TRUE(pump([&] { return peer.accepted() > cycle; }));
      pumpFor(cycle % 5 * 20);  // disconnect at different points
      disconnect();
      // Both workers have ended.
      EXPECT_EQ(ThreadCountSettledAt(peerThreads), peerThreads) << TaskList();
    }
    EXPECT_EQ(peer.accepted(), 50);
    // Both locks are free: a last session carries a ping round trip.
    const int pongsBefore = peer.pongs();
    reconnect("127.0.0.124");
    ASSERT_TRUE(pump([&] { return peer.pongs() > pongsBefore; }));
    disconnect();
  }
  // The peer's own thread ends with it.
  EXPECT_EQ(ThreadCountSettledAt(threadsBefore), threadsBefore) << TaskList();
}

}  // namespace
}  // namespace talvix
