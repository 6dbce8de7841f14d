// The idle cycle of the real plug-in with a real session: a loopback server
// takes the connection and records which idle call each "@" position report
// followed.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/plugin_fixture.h"

namespace talvix {
namespace {

using testing::PluginTest;
using Clock = std::chrono::steady_clock;

// Each test listens on its own address, so ctest may run them side by side.
const char* ServerAddress() {
  const std::string name =
      ::testing::UnitTest::GetInstance()->current_test_info()->name();
  if (name.rfind("Disconnect", 0) == 0) return "127.0.0.204";
  if (name.rfind("Unload", 0) == 0) return "127.0.0.205";
  return "127.0.0.203";
}
constexpr int kPort = 6809;

// Accepts one client and keeps every line it sends.
class LineServer {
 public:
  bool listen(const char* address) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    if (listener_ < 0) return false;
    int on = 1;
    setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(kPort);
    inet_pton(AF_INET, address, &where.sin_addr);
    if (bind(listener_, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0)
      return false;
    if (::listen(listener_, 1) != 0) return false;
    reader_ = std::thread([this] { run(); });
    return true;
  }
  ~LineServer() {
    stop_ = true;
    if (reader_.joinable()) reader_.join();
    if (client_ >= 0) close(client_);
    if (listener_ >= 0) close(listener_);
  }
  bool waitForClose(std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (!closed_ && Clock::now() < end)
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return closed_;
  }
  std::vector<std::string> lines() {
    std::lock_guard<std::mutex> hold(mutex_);
    return lines_;
  }
  int count(const std::string& prefix) {
    int n = 0;
    for (const auto& line : lines()) n += line.rfind(prefix, 0) == 0;
    return n;
  }
  // Waits until count(prefix) exceeds before; false after the time limit.
  bool waitForMore(const std::string& prefix, int before,
                   std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (Clock::now() < end) {
      if (count(prefix) > before) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return count(prefix) > before;
  }

 private:
  void run() {
    std::string pending;
    while (!stop_) {
      const int fd = client_ >= 0 ? client_ : listener_;
      pollfd p{fd, POLLIN, 0};
      if (poll(&p, 1, 20) <= 0) continue;
      if (client_ < 0) {
        client_ = accept(listener_, nullptr, nullptr);
        continue;
      }
      char buffer[1024];
      const ssize_t n = read(client_, buffer, sizeof buffer);
      if (n == 0) closed_ = true;
      if (n <= 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        continue;
      }
      pending.append(buffer, static_cast<std::size_t>(n));
      std::size_t end;
      while ((end = pending.find("\r\n")) != std::string::npos) {
        std::lock_guard<std::mutex> hold(mutex_);
        lines_.push_back(pending.substr(0, end));
        pending.erase(0, end + 2);
      }
    }
  }

  std::atomic<bool> closed_{false};
  int listener_ = -1;
  int client_ = -1;
  std::atomic<bool> stop_{false};
  std::thread reader_;
  std::mutex mutex_;
  std::vector<std::string> lines_;
};

class ConnectedIdleTest : public PluginTest {
 protected:
  void connect() {
    openMainWindow();
    pick("txMN", "cnmn", "conn");
    ASSERT_TRUE(host().userClose(FourCC("txAC")));  // no aircraft chosen
    host().model().addPopupItem(static_cast<int>(FourCC("txCN")),
                                static_cast<int>(FourCC("ipMN")), 7,
                                ServerAddress());
    select("txCN", "ipMN", 7);
    host().model().setText(static_cast<int>(FourCC("txCN")),
                           static_cast<int>(FourCC("csgn")), "TST123");
    event("txCN", "okBn", "actn");
    ASSERT_FALSE(isOpen("txCN"));
    ASSERT_TRUE(server_.waitForMore("#APTST123", 0, std::chrono::seconds(10)))
        << "no login line";
  }
  // One idle call of half a second; true when a position report followed.
  bool idleAndSeeReport() {
    const int before = server_.count("@");
    host().idleOnce(0.5f);
    return server_.waitForMore("@", before, std::chrono::milliseconds(250));
  }
  void TearDown() override {
    if (sim_ && host().loaded()) pick("txMN", "cnmn", "disc");
    PluginTest::TearDown();
  }

  LineServer server_;
};

TEST_F(ConnectedIdleTest, HalfSecondCallsReportOnEveryEleventhCall) {
  ASSERT_TRUE(server_.listen(ServerAddress()));
  connect();

  // The timer ran down while connecting; the first report comes within the
  // first eleven calls (at once when it had run down already).
  int call = 0;
  bool fired = false;
  while (!fired && call < 12) {
    ++call;
    fired = idleAndSeeReport();
  }
  ASSERT_TRUE(fired) << "no position report";

  // From the call that fired, ten calls bring the timer to exactly 0.0,
  // which is not below zero; the eleventh reports.
  for (int round = 0; round < 2; ++round) {
    for (int i = 1; i <= 10; ++i) {
      EXPECT_FALSE(idleAndSeeReport()) << "round " << round << " call " << i;
    }
    EXPECT_TRUE(idleAndSeeReport()) << "round " << round << " call 11";
  }
  const auto lines = server_.lines();
  EXPECT_EQ(server_.count("@"), 3);
  EXPECT_EQ(lines.front().rfind("#APTST123:SERVER:", 0), 0u) << lines.front();
}

TEST_F(ConnectedIdleTest, DisconnectStopsTheReports) {
  ASSERT_TRUE(server_.listen(ServerAddress()));
  connect();
  pick("txMN", "cnmn", "disc");
  EXPECT_EQ(history(), (std::vector<std::string>{"", "Disconnected."}));
  const int before = server_.count("@");
  host().frames(30, 0.5f);
  std::this_thread::sleep_for(std::chrono::milliseconds(250));
  EXPECT_EQ(server_.count("@"), before);
}

// Unloading while connected: DLLKill ends the session before it deletes the
// locks its workers use, so the connection is closed, not left behind.
TEST_F(ConnectedIdleTest, UnloadWhileConnectedClosesTheSessionFirst) {
  ASSERT_TRUE(server_.listen(ServerAddress()));
  connect();
  host().frames(12, 0.5f);
  host().unload();
  EXPECT_TRUE(server_.waitForClose(std::chrono::seconds(5)));
}

}  // namespace
}  // namespace talvix
