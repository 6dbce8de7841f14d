// Traffic the server makes up itself with --demo: three pilots circling
// near San Francisco International (KSFO, 37.6189 N 122.3750 W) and the
// tower controller KSFO_TWR, each reporting every period (five seconds).
#pragma once

#include <asio.hpp>
#include <chrono>
#include <memory>
#include <vector>

#include "server/demo_flight.h"
#include "server/router.h"

namespace netserver {

class DemoTraffic {
 public:
  DemoTraffic(asio::io_context& io, Router& router,
              std::chrono::milliseconds period = std::chrono::seconds(5));
  ~DemoTraffic();

  // Logs the stations in (a station whose callsign is taken stays out) and
  // sends their first reports at once.
  void start();
  void stop();

  static std::vector<DemoPilot> pilots();
  static const char* const kControllerLine;
  static const char* const kAtisText;

  class Station;

 private:
  void tick();

  asio::io_context& io_;
  Router& router_;
  std::chrono::milliseconds period_;
  asio::steady_timer timer_;
  std::chrono::steady_clock::time_point startedAt_;
  std::vector<std::shared_ptr<Station>> stations_;
};

}  // namespace netserver
