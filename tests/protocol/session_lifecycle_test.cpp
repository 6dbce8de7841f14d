// Dead sessions, disconnect in the middle of traffic, and many connect and
// disconnect cycles against a busy peer.
#include <arpa/inet.h>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

#include "tests/protocol/session_plugin_fixture.h"

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
  std::thread([] {}).join();
  return ThreadCount();
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

TEST_F(SessionLifecycleTest,
       ARefusedConnectionLeavesADeadSessionUntilDisconnect) {
  openConnectWindow();
  fill("127.0.0.120");  // nobody listens yet
  pressOk();
  EXPECT_FALSE(isOpen("txCN"));
  pumpFor(200);

  // The dead session still counts as a session: OK does not connect again.
  LoopbackPeer peer("127.0.0.120");
  ASSERT_TRUE(peer.listening());
  openConnectWindow();
  pressOk();
  EXPECT_FALSE(peer.accept(300));

  disconnect();
  reconnect("127.0.0.120");
  ASSERT_TRUE(peer.accept());
  EXPECT_EQ(peer.readLine(), "#APABC:SERVER:123:pw:1:9:3:Jo Lee KSFO");
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
    EXPECT_EQ(ThreadCount(), threadsBefore);
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
      EXPECT_EQ(ThreadCount(), peerThreads) << TaskList();
    }
    EXPECT_EQ(peer.accepted(), 50);
    // Both locks are free: a last session carries a ping round trip.
    const int pongsBefore = peer.pongs();
    reconnect("127.0.0.124");
    ASSERT_TRUE(pump([&] { return peer.pongs() > pongsBefore; }));
    disconnect();
  }
  // The peer's own thread ends with it.
  for (int wait = 0; wait < 200 && ThreadCount() > threadsBefore; ++wait)
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_EQ(ThreadCount(), threadsBefore) << TaskList();
}

}  // namespace
}  // namespace talvix
