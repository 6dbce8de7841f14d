#include "server/server_app.h"

#include <csignal>
#include <utility>

namespace netserver {
namespace {

MetarStore metarStoreFor(const ServerOptions& options) {
  return options.metarFolder ? MetarStore(*options.metarFolder) : MetarStore();
}

}  // namespace

ServerApp::ServerApp(ServerOptions options, EventLog log)
    : options_(std::move(options)),
      log_(std::move(log)),
      router_(log_, metarStoreFor(options_)),
      tcp_(io_, router_, log_, options_.listen),
      commands_(router_, log_, [this] { stop(); }),
      signals_(io_) {
  router_.setGreeting(options_.greeting);
}

void ServerApp::start() {
  tcp_.start();
  if (options_.metarFolder)
    log_.event("metar " + options_.metarFolder->string());
  if (options_.demo) {
    demo_ = std::make_unique<DemoTraffic>(io_, router_, options_.demoPeriod);
    demo_->start();
    log_.event("demo on");
  }
}

void ServerApp::stopOnSignals() {
  signals_.add(SIGINT);
  signals_.add(SIGTERM);
  signals_.async_wait([this](const asio::error_code& ec, int signalNumber) {
    if (ec) return;
    log_.event("signal " + std::to_string(signalNumber));
    stop();
  });
}

void ServerApp::run() { io_.run(); }

void ServerApp::command(const std::string& line) {
  asio::post(io_, [this, line] { commands_.execute(line); });
}

void ServerApp::requestStop() {
  asio::post(io_, [this] { stop(); });
}

void ServerApp::stop() {
  if (stopped_) return;
  stopped_ = true;
  if (demo_) demo_->stop();
  tcp_.stop();
  asio::error_code ignored;
  signals_.cancel(ignored);
  log_.event("stop");
  // io_.run() returns once the clients' last handlers have run.
}

}  // namespace netserver
