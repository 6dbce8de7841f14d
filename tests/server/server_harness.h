// Test helpers: the server running in-process on its own thread, and a
// plain loopback TCP client that reads lines with a time limit.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "server/server_app.h"

namespace netserver::testing {

using namespace std::chrono_literals;

// Collects the server's event lines; safe from any thread.
class EventRecorder {
 public:
  void add(const std::string& line);
  // Waits for an event line equal to `line`.
  bool waitFor(const std::string& line, std::chrono::milliseconds timeout = 5s);
  // Waits for an event line that begins with `start`; returns it.
  std::optional<std::string> waitForPrefix(
      const std::string& start, std::chrono::milliseconds timeout = 5s);
  std::vector<std::string> all() const;

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> lines_;
};

class InProcessServer {
 public:
  // Listens on `address` at a free port.
  explicit InProcessServer(const std::string& address,
                           ServerOptions options = {});
  ~InProcessServer();

  unsigned short port() const { return app_->port(); }
  const std::string& address() const { return address_; }
  EventRecorder& events() { return *events_; }
  void command(const std::string& line) { app_->command(line); }
  // Stops and waits for the network thread to end.
  void stop();

 private:
  std::string address_;
  std::shared_ptr<EventRecorder> events_;
  std::unique_ptr<ServerApp> app_;
  std::thread thread_;
};

class TestClient {
 public:
  TestClient(const std::string& address, unsigned short port);
  ~TestClient();
  TestClient(const TestClient&) = delete;
  TestClient& operator=(const TestClient&) = delete;

  bool connected() const { return fd_ >= 0; }
  void sendRaw(const std::string& bytes);
  void sendLine(const std::string& line) { sendRaw(line + "\r\n"); }
  // "#AP<callsign>:SERVER:123:pw:1:9:3:First Last KSFO"
  void login(const std::string& callsign);
  // The next line without its CR LF, or nothing on timeout or close.
  std::optional<std::string> readLine(std::chrono::milliseconds timeout = 3s);
  // Reads lines until one begins with `start`.
  std::optional<std::string> readLineStartingWith(
      const std::string& start, std::chrono::milliseconds timeout = 3s);
  // True when the server closed the connection within the time.
  bool waitClosed(std::chrono::milliseconds timeout = 3s);
  void close();

 private:
  int fd_ = -1;
  std::string buffer_;
  bool peerClosed_ = false;
};

std::string loginLine(const std::string& callsign);

}  // namespace netserver::testing
