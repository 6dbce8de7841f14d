// One TCP client: reads and frames its lines, queues what is sent to it,
// and closes it when it goes silent, floods its output or disconnects.
#pragma once

#include <asio.hpp>
#include <chrono>
#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "server/line_framer.h"
#include "server/peer.h"
#include "server/router.h"

namespace netserver {

struct SessionLimits {
  // A client must log in within this time after connecting.
  std::chrono::milliseconds loginTimeout{60000};
  // A logged-in client that sends nothing for this long is dropped (the
  // plug-in reports its position every five seconds).
  std::chrono::milliseconds idleTimeout{300000};
  // A client that does not read its lines is dropped when this many bytes
  // are waiting for it.
  std::size_t maxQueuedBytes = 1 << 20;
};

class ClientSession : public Peer,
                      public std::enable_shared_from_this<ClientSession> {
 public:
  using ClosedHandler = std::function<void(ClientSession&)>;

  ClientSession(asio::ip::tcp::socket socket, Router& router,
                const EventLog& log, SessionLimits limits,
                ClosedHandler onClosed);

  void start();

  void deliver(const std::string& line) override;
  void disconnectAfterFlush() override;
  void disconnect() override;
  std::string describe() const override { return endpoint_; }

 private:
  void readMore();
  void writeNext();
  void armTimer();
  void onTimer();
  // Closes the socket and tells the router and the owner, once.
  void shutdown(const char* reason);

  asio::ip::tcp::socket socket_;
  asio::steady_timer timer_;
  Router& router_;
  const EventLog& log_;
  SessionLimits limits_;
  ClosedHandler onClosed_;
  std::string endpoint_;
  LineFramer framer_;
  char readBuffer_[4096];
  std::deque<std::string> outgoing_;
  std::size_t queuedBytes_ = 0;
  bool writing_ = false;
  bool closingAfterFlush_ = false;
  bool dropping_ = false;  // closed without sending what is queued
  bool closed_ = false;
  std::chrono::steady_clock::time_point connectedAt_;
  std::chrono::steady_clock::time_point lastLineAt_;
};

}  // namespace netserver
