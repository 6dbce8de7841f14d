#include "server/client_session.h"

#include <utility>

namespace netserver {

using Clock = std::chrono::steady_clock;

ClientSession::ClientSession(asio::ip::tcp::socket socket, Router& router,
                             const EventLog& log, SessionLimits limits,
                             ClosedHandler onClosed)
    : socket_(std::move(socket)),
      timer_(socket_.get_executor()),
      router_(router),
      log_(log),
      limits_(limits),
      onClosed_(std::move(onClosed)),
      connectedAt_(Clock::now()),
      lastLineAt_(connectedAt_) {
  asio::error_code ec;
  const auto remote = socket_.remote_endpoint(ec);
  endpoint_ =
      ec ? std::string("unknown")
         : remote.address().to_string() + ":" + std::to_string(remote.port());
}

void ClientSession::start() {
  log_.event("connect " + endpoint_);
  readMore();
  armTimer();
}

void ClientSession::readMore() {
  auto self = shared_from_this();
  socket_.async_read_some(
      asio::buffer(readBuffer_),
      [this, self](const asio::error_code& ec, std::size_t size) {
        if (closed_ || closingAfterFlush_ ||
            ec == asio::error::operation_aborted)
          return;
        if (ec) {
          shutdown(ec == asio::error::eof ? "closed" : "lost");
          return;
        }
        framer_.feed(readBuffer_, size, [this](const std::string& line) {
          if (closed_ || closingAfterFlush_)
            return;  // a "#DA" or a kill ends the reading
          lastLineAt_ = Clock::now();
          const bool wasLoggedIn = router_.callsignOf(*this).has_value();
          router_.lineFrom(*this, line);
          // From the login on, silence is measured instead of the login wait.
          if (!wasLoggedIn && !closed_ && router_.callsignOf(*this)) armTimer();
        });
        if (!closed_ && !closingAfterFlush_) readMore();
      });
}

void ClientSession::deliver(const std::string& line) {
  if (closed_ || closingAfterFlush_) return;
  if (queuedBytes_ + line.size() + 2 > limits_.maxQueuedBytes) {
    // The router may be walking its list: close from a handler of our own.
    closingAfterFlush_ = true;
    asio::post(socket_.get_executor(),
               [self = shared_from_this()] { self->shutdown("overflow"); });
    return;
  }
  outgoing_.push_back(line + "\r\n");
  queuedBytes_ += outgoing_.back().size();
  if (!writing_) writeNext();
}

void ClientSession::writeNext() {
  if (outgoing_.empty()) {
    writing_ = false;
    if (closingAfterFlush_) {
      asio::post(socket_.get_executor(),
                 [self = shared_from_this()] { self->shutdown("closed"); });
    }
    return;
  }
  writing_ = true;
  auto self = shared_from_this();
  asio::async_write(
      socket_, asio::buffer(outgoing_.front()),
      [this, self](const asio::error_code& ec, std::size_t) {
        if (closed_ || dropping_ || ec == asio::error::operation_aborted)
          return;
        if (ec) {
          shutdown("lost");
          return;
        }
        queuedBytes_ -= outgoing_.front().size();
        outgoing_.pop_front();
        writeNext();
      });
}

void ClientSession::disconnectAfterFlush() {
  if (closed_ || closingAfterFlush_) return;
  closingAfterFlush_ = true;
  if (!writing_) {
    asio::post(socket_.get_executor(),
               [self = shared_from_this()] { self->shutdown("closed"); });
  }
}

void ClientSession::disconnect() {
  if (closed_) return;
  // The queue stays as it is: a write in flight still refers to its front.
  closingAfterFlush_ = true;
  dropping_ = true;
  asio::error_code ignored;
  socket_.cancel(ignored);
  asio::post(socket_.get_executor(),
             [self = shared_from_this()] { self->shutdown("closed"); });
}

void ClientSession::armTimer() {
  const bool loggedIn = router_.callsignOf(*this).has_value();
  const auto deadline = loggedIn ? lastLineAt_ + limits_.idleTimeout
                                 : connectedAt_ + limits_.loginTimeout;
  timer_.expires_at(deadline);
  timer_.async_wait(
      [this, self = shared_from_this()](const asio::error_code& ec) {
        if (!ec && !closed_) onTimer();
      });
}

void ClientSession::onTimer() {
  const bool loggedIn = router_.callsignOf(*this).has_value();
  const auto now = Clock::now();
  if (!loggedIn && now >= connectedAt_ + limits_.loginTimeout) {
    shutdown("timeout");
  } else if (loggedIn && now >= lastLineAt_ + limits_.idleTimeout) {
    shutdown("timeout");
  } else {
    armTimer();
  }
}

void ClientSession::shutdown(const char* reason) {
  if (closed_) return;
  closed_ = true;
  router_.peerGone(*this);
  asio::error_code ignored;
  timer_.cancel();
  socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ignored);
  socket_.close(ignored);
  log_.event(std::string("disconnect ") + endpoint_ + " " + reason);
  if (onClosed_) onClosed_(*this);
}

}  // namespace netserver
