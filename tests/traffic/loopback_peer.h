// A tiny network peer on one loopback address and port 6809: accepts one
// client, collects the lines it writes and sends lines to it.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace talvix::testing {

class LoopbackPeer {
 public:
  explicit LoopbackPeer(const char* address) {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    int on = 1;
    ::setsockopt(listener_, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_port = htons(6809);
    ::inet_pton(AF_INET, address, &where.sin_addr);
    listening_ = ::bind(listener_, reinterpret_cast<sockaddr*>(&where),
                        sizeof where) == 0 &&
                 ::listen(listener_, 1) == 0;
    if (listening_) reader_ = std::thread([this] { run(); });
  }
  ~LoopbackPeer() {
    ::shutdown(listener_, SHUT_RDWR);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (client_ >= 0) ::shutdown(client_, SHUT_RDWR);
      stopping_ = true;
    }
    if (reader_.joinable()) reader_.join();
    ::close(listener_);
    if (client_ >= 0) ::close(client_);
  }
  bool listening() const { return listening_; }

  void send(const std::string& line) {
    std::string framed = line + "\r\n";
    std::lock_guard<std::mutex> lock(mutex_);
    if (client_ >= 0)
      ::send(client_, framed.data(), framed.size(), MSG_NOSIGNAL);
  }
  std::vector<std::string> lines() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return lines_;
  }
  // Lines received so far that start with prefix, in order.
  std::vector<std::string> linesStartingWith(const std::string& prefix) const {
    std::vector<std::string> found;
    for (const auto& line : lines()) {
      if (line.compare(0, prefix.size(), prefix) == 0) found.push_back(line);
    }
    return found;
  }
  bool connected() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return client_ >= 0;
  }
  // The client's address as this peer sees it.
  std::string clientAddress() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return clientAddress_;
  }

 private:
  void run() {
    sockaddr_in from{};
    socklen_t size = sizeof from;
    int client = ::accept(listener_, reinterpret_cast<sockaddr*>(&from), &size);
    if (client < 0) return;
    char dotted[INET_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET, &from.sin_addr, dotted, sizeof dotted);
    {
      std::lock_guard<std::mutex> lock(mutex_);
      client_ = client;
      clientAddress_ = dotted;
      if (stopping_) ::shutdown(client_, SHUT_RDWR);
    }
    std::string pending;
    char buffer[1024];
    for (;;) {
      ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      pending.append(buffer, static_cast<std::size_t>(n));
      std::size_t end;
      while ((end = pending.find("\r\n")) != std::string::npos) {
        std::lock_guard<std::mutex> lock(mutex_);
        lines_.push_back(pending.substr(0, end));
        pending.erase(0, end + 2);
      }
    }
  }

  int listener_ = -1;
  bool listening_ = false;
  mutable std::mutex mutex_;
  int client_ = -1;
  bool stopping_ = false;
  std::string clientAddress_;
  std::vector<std::string> lines_;
  std::thread reader_;
};

}  // namespace talvix::testing
