#include "server/tcp_server.h"

#include <utility>
#include <vector>

namespace netserver {

TcpServer::TcpServer(asio::io_context& io, Router& router, const EventLog& log,
                     ListenOptions options)
    : io_(io),
      router_(router),
      log_(log),
      options_(std::move(options)),
      acceptor_(io),
      retryTimer_(io) {}

void TcpServer::start() {
  const asio::ip::tcp::endpoint endpoint(
      asio::ip::make_address(options_.address), options_.port);
  acceptor_.open(endpoint.protocol());
  acceptor_.set_option(asio::ip::tcp::acceptor::reuse_address(true));
  acceptor_.bind(endpoint);
  acceptor_.listen();
  port_ = acceptor_.local_endpoint().port();
  log_.event("listen " + options_.address + " " + std::to_string(port_));
  acceptNext();
}

void TcpServer::acceptNext() {
  acceptor_.async_accept(
      [this](const asio::error_code& ec, asio::ip::tcp::socket socket) {
        if (stopped_) return;
        if (!ec) {
          auto session = std::make_shared<ClientSession>(
              std::move(socket), router_, log_, options_.limits,
              [this](ClientSession& closed) { sessions_.erase(&closed); });
          sessions_.emplace(session.get(), session);
          session->start();
          acceptNext();
          return;
        }
        if (ec == asio::error::operation_aborted) return;
        // Other accept errors (no file descriptors left, a client that reset
        // before it was taken) leave the listener running after a short pause.
        retryTimer_.expires_after(std::chrono::milliseconds(100));
        retryTimer_.async_wait([this](const asio::error_code& waitError) {
          if (!waitError && !stopped_) acceptNext();
        });
      });
}

void TcpServer::stop() {
  if (stopped_) return;
  stopped_ = true;
  asio::error_code ignored;
  acceptor_.close(ignored);
  retryTimer_.cancel();
  std::vector<std::shared_ptr<ClientSession>> open;
  for (const auto& entry : sessions_) open.push_back(entry.second);
  for (const auto& session : open) session->disconnect();
}

}  // namespace netserver
