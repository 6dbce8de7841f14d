// A tiny network server for tests: listens on one loopback address at port
// 6809, accepts one client at a time, reads and writes raw bytes.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <optional>
#include <string>

namespace talvix::testing {

class LoopbackPeer {
 public:
  static constexpr int kPort = 6809;

  // receiveBuffer > 0 shrinks the accepted socket's receive window, so a
  // client that writes to a peer that does not read fills up quickly.
  explicit LoopbackPeer(const std::string& address, int receiveBuffer = 0) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    int on = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    if (receiveBuffer > 0) {
      ::setsockopt(listener_, SOL_SOCKET, SO_RCVBUF, &receiveBuffer,
                   sizeof receiveBuffer);
    }
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_port = htons(kPort);
    ::inet_pton(AF_INET, address.c_str(), &at.sin_addr);
    listening_ =
        ::bind(listener_, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 &&
        ::listen(listener_, 8) == 0;
  }
  ~LoopbackPeer() {
    closeClient();
    if (listener_ >= 0) ::close(listener_);
  }
  LoopbackPeer(const LoopbackPeer&) = delete;
  LoopbackPeer& operator=(const LoopbackPeer&) = delete;

  bool listening() const { return listening_; }

  bool accept(int timeoutMs = 5000) {
    if (!ready(listener_, POLLIN, timeoutMs)) return false;
    closeClient();
    client_ = ::accept(listener_, nullptr, nullptr);
    pending_.clear();
    return client_ >= 0;
  }
  bool connected() const { return client_ >= 0; }

  bool send(const std::string& bytes) {
    std::size_t sent = 0;
    while (client_ >= 0 && sent < bytes.size()) {
      ssize_t n = ::send(client_, bytes.data() + sent, bytes.size() - sent,
                         MSG_NOSIGNAL);
      if (n <= 0) return false;
      sent += static_cast<std::size_t>(n);
    }
    return sent == bytes.size();
  }

  // The next line without its CR LF; nullopt on time-out or close. Raw
  // bytes received so far stay in raw().
  std::optional<std::string> readLine(int timeoutMs = 5000) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      const std::size_t end = pending_.find("\r\n");
      if (end != std::string::npos) {
        std::string line = pending_.substr(0, end);
        pending_.erase(0, end + 2);
        return line;
      }
      if (!receiveSome(deadline)) return std::nullopt;
    }
  }

  // True when the client closes its end before the time-out.
  bool waitForClose(int timeoutMs = 5000) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (receiveSome(deadline)) {
    }
    return closed_;
  }

  const std::string& raw() const { return raw_; }
  bool closed() const { return closed_; }

  void closeClient() {
    if (client_ >= 0) ::close(client_);
    client_ = -1;
    closed_ = false;
  }
  // Closes with a reset instead of an orderly end of stream.
  void resetClient() {
    if (client_ >= 0) {
      const linger abort{1, 0};
      ::setsockopt(client_, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    }
    closeClient();
  }

 private:
  using Clock = std::chrono::steady_clock;

  static bool ready(int fd, short events, int timeoutMs) {
    pollfd p{fd, events, 0};
    return ::poll(&p, 1, timeoutMs) == 1;
  }

  bool receiveSome(Clock::time_point deadline) {
    if (client_ < 0 || closed_) return false;
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                          deadline - Clock::now())
                          .count();
    if (left <= 0 || !ready(client_, POLLIN, static_cast<int>(left)))
      return false;
    char buffer[4096];
    const ssize_t n = ::recv(client_, buffer, sizeof buffer, 0);
    if (n <= 0) {
      closed_ = true;
      return false;
    }
    pending_.append(buffer, static_cast<std::size_t>(n));
    raw_.append(buffer, static_cast<std::size_t>(n));
    return true;
  }

  int listener_ = -1;
  int client_ = -1;
  bool listening_ = false;
  bool closed_ = false;
  std::string pending_;
  std::string raw_;
};

}  // namespace talvix::testing
