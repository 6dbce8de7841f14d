// Runs a world on the network thread: its stations log in, pilots report
// "@" and controllers "%" every five world seconds, controllers speak now
// and then, stations go away and come back, and every client gets the
// weather lines shortly after its login and then at the world's interval.
// The world clock can run faster than the wall clock, for tests.
#pragma once

#include <asio.hpp>
#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "server/router.h"
#include "server/world_file.h"
#include "server/world_flight.h"
#include "server/world_station.h"

namespace netserver {

class WorldTraffic {
 public:
  static constexpr double kReportSeconds = 5.0;

  // `reportPeriod` is the wall-clock time of five world seconds.
  WorldTraffic(asio::io_context& io, Router& router, World world,
               std::chrono::milliseconds reportPeriod);
  ~WorldTraffic();

  // Logs the stations in (a station whose callsign is taken stays out) and
  // sends their first reports at once.
  void start();
  void stop();

 private:
  struct Pilot {
    WorldPilot plan;
    PilotFlight flight;
    std::shared_ptr<WorldStation> station;
    bool silent = false;
  };
  struct Controller {
    WorldController plan;
    std::shared_ptr<WorldStation> station;
  };
  struct Scheduled {
    double next;   // world seconds
    double every;  // 0: once
    bool due(double now) const { return next >= 0 && now >= next; }
    void advance() { next = every > 0 ? next + every : -1; }
  };
  struct Absence {
    WorldAbsence plan;
    Scheduled leave;
    double returnAt = -1;
  };

  void tick();
  void report(double now);
  void speak(double now);
  void comeAndGo(double now);
  void sendWeather(double now);
  void setAway(const std::string& callsign, bool away);
  WorldStation* station(const std::string& callsign);

  asio::io_context& io_;
  Router& router_;
  World world_;
  std::chrono::milliseconds period_;
  asio::steady_timer timer_;
  std::chrono::steady_clock::time_point startedAt_;
  unsigned ticks_ = 0;
  std::vector<Pilot> pilots_;
  std::vector<Controller> controllers_;
  std::vector<Scheduled> messageTimes_;  // one for each world message
  std::vector<Absence> absences_;
  Scheduled weatherTime_{-1, 0};
  unsigned weatherBursts_ = 0;
  std::vector<std::string> newcomers_;  // logged in since the last tick
  bool running_ = false;
};

}  // namespace netserver
