// Listens for clients and owns their sessions.
#pragma once

#include <asio.hpp>
#include <map>
#include <memory>
#include <string>

#include "server/client_session.h"
#include "server/event_log.h"
#include "server/router.h"

namespace netserver {

struct ListenOptions {
  std::string address = "127.0.0.1";
  unsigned short port = 6809;  // 0 picks a free port
  SessionLimits limits;
};

class TcpServer {
 public:
  TcpServer(asio::io_context& io, Router& router, const EventLog& log,
            ListenOptions options);

  // Binds and starts accepting; throws std::system_error when the address
  // cannot be bound. Logs "listen <address> <port>".
  void start();
  unsigned short port() const { return port_; }
  // Stops accepting and closes every client.
  void stop();
  std::size_t sessionCount() const { return sessions_.size(); }

 private:
  void acceptNext();

  asio::io_context& io_;
  Router& router_;
  const EventLog& log_;
  ListenOptions options_;
  asio::ip::tcp::acceptor acceptor_;
  asio::steady_timer retryTimer_;
  unsigned short port_ = 0;
  bool stopped_ = false;
  std::map<ClientSession*, std::shared_ptr<ClientSession>> sessions_;
};

}  // namespace netserver
