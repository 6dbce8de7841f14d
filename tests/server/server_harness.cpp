#include "server_harness.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace netserver::testing {

void EventRecorder::add(const std::string& line) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    lines_.push_back(line);
  }
  changed_.notify_all();
}

bool EventRecorder::waitFor(const std::string& line,
                            std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  return changed_.wait_for(lock, timeout, [&] {
    for (const auto& seen : lines_) {
      if (seen == line) return true;
    }
    return false;
  });
}

std::optional<std::string> EventRecorder::waitForPrefix(
    const std::string& start, std::chrono::milliseconds timeout) {
  std::unique_lock<std::mutex> lock(mutex_);
  std::optional<std::string> found;
  changed_.wait_for(lock, timeout, [&] {
    for (const auto& seen : lines_) {
      if (seen.rfind(start, 0) == 0) {
        found = seen;
        return true;
      }
    }
    return false;
  });
  return found;
}

std::vector<std::string> EventRecorder::all() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return lines_;
}

InProcessServer::InProcessServer(const std::string& address,
                                 ServerOptions options)
    : address_(address), events_(std::make_shared<EventRecorder>()) {
  options.listen.address = address;
  options.listen.port = 0;
  auto events = events_;
  app_ = std::make_unique<ServerApp>(
      options,
      EventLog([events](const std::string& line) { events->add(line); }));
  app_->start();
  thread_ = std::thread([this] { app_->run(); });
}

InProcessServer::~InProcessServer() { stop(); }

void InProcessServer::stop() {
  if (!thread_.joinable()) return;
  app_->requestStop();
  thread_.join();
}

std::string loginLine(const std::string& callsign) {
  return "#AP" + callsign + ":SERVER:123:pw:1:9:3:First Last KSFO";
}

TestClient::TestClient(const std::string& address, unsigned short port) {
  fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd_ < 0) throw std::runtime_error("socket");
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_port = htons(port);
  ::inet_pton(AF_INET, address.c_str(), &target.sin_addr);
  if (::connect(fd_, reinterpret_cast<sockaddr*>(&target), sizeof target) !=
      0) {
    ::close(fd_);
    fd_ = -1;
  }
}

TestClient::~TestClient() { close(); }

void TestClient::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

void TestClient::sendRaw(const std::string& bytes) {
  std::size_t sent = 0;
  while (fd_ >= 0 && sent < bytes.size()) {
    const ssize_t n =
        ::send(fd_, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return;
    sent += static_cast<std::size_t>(n);
  }
}

void TestClient::login(const std::string& callsign) {
  sendLine(loginLine(callsign));
}

std::optional<std::string> TestClient::readLine(
    std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const auto end = buffer_.find("\r\n");
    if (end != std::string::npos) {
      std::string line = buffer_.substr(0, end);
      buffer_.erase(0, end + 2);
      return line;
    }
    if (fd_ < 0 || peerClosed_) return std::nullopt;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd waiting{fd_, POLLIN, 0};
    if (::poll(&waiting, 1, static_cast<int>(left.count())) <= 0) continue;
    char chunk[4096];
    const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
    if (n <= 0) {
      peerClosed_ = true;
      continue;
    }
    buffer_.append(chunk, static_cast<std::size_t>(n));
  }
}

std::optional<std::string> TestClient::readLineStartingWith(
    const std::string& start, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    auto line = readLine(left);
    if (!line) return std::nullopt;
    if (line->rfind(start, 0) == 0) return line;
  }
}

bool TestClient::waitClosed(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!peerClosed_) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || fd_ < 0) return false;
    pollfd waiting{fd_, POLLIN, 0};
    if (::poll(&waiting, 1, static_cast<int>(left.count())) <= 0) continue;
    char chunk[4096];
    const ssize_t n = ::recv(fd_, chunk, sizeof chunk, 0);
    if (n <= 0) {
      peerClosed_ = true;
    } else {
      buffer_.append(chunk, static_cast<std::size_t>(n));
    }
  }
  return true;
}

}  // namespace netserver::testing
