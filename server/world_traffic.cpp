#include "server/world_traffic.h"

#include <cstdio>
#include <utility>

#include "server/world_weather.h"

namespace netserver {
namespace {

// "20500" to "120.500".
std::string megahertz(const std::string& frequency) {
  return "1" + frequency.substr(0, 2) + "." + frequency.substr(2);
}

std::string controllerLine(const WorldController& controller) {
  char line[160];
  std::snprintf(line, sizeof line, "%%%s:%s:%d:%d:%d:%.5f:%.5f",
                controller.callsign.c_str(), controller.frequency.c_str(),
                controller.facility, controller.rangeNm, controller.rating,
                controller.latitude, controller.longitude);
  return line;
}

const char* engineDigit(char engineLetter) {
  return engineLetter == 'P' ? "0" : engineLetter == 'T' ? "3" : "1";
}

}  // namespace

WorldTraffic::WorldTraffic(asio::io_context& io, Router& router, World world,
                           std::chrono::milliseconds reportPeriod)
    : io_(io),
      router_(router),
      world_(std::move(world)),
      period_(reportPeriod),
      timer_(io) {}

WorldTraffic::~WorldTraffic() { stop(); }

void WorldTraffic::start() {
  for (const auto& plan : world_.pilots) {
    StationAnswers answers;
    answers.isPilot = true;
    answers.typeAnswer =
        std::string(engineDigit(plan.engineLetter)) + ":~" + plan.model;
    answers.frequency = "122.800";
    pilots_.push_back(
        {plan, PilotFlight(plan, world_),
         std::make_shared<WorldStation>(io_, router_, plan.callsign, answers)});
  }
  for (const auto& plan : world_.controllers) {
    StationAnswers answers;
    answers.frequency = megahertz(plan.frequency);
    answers.atis = plan.atis;
    controllers_.push_back({plan, std::make_shared<WorldStation>(
                                      io_, router_, plan.callsign, answers)});
  }
  for (const auto& message : world_.messages)
    messageTimes_.push_back({message.firstSeconds, message.everySeconds});
  for (const auto& absence : world_.absences)
    absences_.push_back(
        {absence, {absence.firstSeconds, absence.everySeconds}});
  if (world_.weather.everySeconds > 0)
    weatherTime_ = {world_.weather.everySeconds, world_.weather.everySeconds};
  if (world_.weather.everySeconds > 0) {
    router_.setLoginListener([this](const std::string& callsign) {
      newcomers_.push_back(callsign);
    });
  }
  for (auto& pilot : pilots_) pilot.station->logIn();
  for (auto& controller : controllers_) controller.station->logIn();
  running_ = true;
  startedAt_ = std::chrono::steady_clock::now();
  tick();
}

void WorldTraffic::stop() {
  if (!running_) return;
  running_ = false;
  timer_.cancel();
  router_.setLoginListener(nullptr);
  for (auto& pilot : pilots_) pilot.station->leave();
  for (auto& controller : controllers_) controller.station->leave();
}

void WorldTraffic::tick() {
  // Whole report steps of world time: every report moves a pilot by
  // exactly five seconds of its flight, however late the timer runs.
  const double now = ticks_ * kReportSeconds;
  comeAndGo(now);
  report(now);
  speak(now);
  sendWeather(now);
  ++ticks_;
  timer_.expires_at(startedAt_ + ticks_ * period_);
  timer_.async_wait([this](const asio::error_code& ec) {
    if (!ec && running_) tick();
  });
}

void WorldTraffic::report(double now) {
  for (auto& pilot : pilots_) {
    const FlightState& state = pilot.flight.at(now);
    if (!pilot.silent) pilot.station->send(reportLine(pilot.plan, state));
  }
  for (auto& controller : controllers_)
    controller.station->send(controllerLine(controller.plan));
}

void WorldTraffic::speak(double now) {
  for (std::size_t i = 0; i < world_.messages.size(); ++i) {
    if (!messageTimes_[i].due(now)) continue;
    messageTimes_[i].advance();
    const WorldMessage& message = world_.messages[i];
    WorldStation* speaker = station(message.callsign);
    if (speaker == nullptr) continue;
    std::string frequency = "2150";
    if (!message.onGuard) {
      for (const auto& controller : controllers_) {
        if (controller.plan.callsign == message.callsign)
          frequency = controller.plan.frequency;
      }
    }
    speaker->send("#TM" + message.callsign + ":@" + frequency + ":" +
                  message.text);
  }
}

void WorldTraffic::comeAndGo(double now) {
  for (auto& absence : absences_) {
    if (absence.returnAt >= 0 && now >= absence.returnAt) {
      absence.returnAt = -1;
      setAway(absence.plan.callsign, false);
    }
    if (absence.leave.due(now)) {
      absence.leave.advance();
      absence.returnAt = now + absence.plan.durationSeconds;
      setAway(absence.plan.callsign, true);
    }
  }
}

void WorldTraffic::setAway(const std::string& callsign, bool away) {
  for (auto& pilot : pilots_) {
    if (pilot.plan.callsign == callsign) pilot.silent = away;
  }
  for (auto& controller : controllers_) {
    if (controller.plan.callsign != callsign) continue;
    // A controller logs off the way a client does; the router tells the
    // others with "#DA". Back, it is announced by its next "%" line.
    if (away) {
      controller.station->send("#DA" + callsign + ":SERVER");
    } else {
      controller.station->logIn();
    }
  }
}

void WorldTraffic::sendWeather(double now) {
  const bool due = weatherTime_.due(now);
  if (due) {
    weatherTime_.advance();
    ++weatherBursts_;
  }
  const auto& addressees = due ? router_.clientCallsigns() : newcomers_;
  for (const auto& callsign : addressees) {
    for (const auto& line :
         weatherLines(world_.weather, callsign, weatherBursts_))
      router_.sendTo(callsign, line);
  }
  newcomers_.clear();
}

WorldStation* WorldTraffic::station(const std::string& callsign) {
  for (auto& pilot : pilots_) {
    if (pilot.plan.callsign == callsign) return pilot.station.get();
  }
  for (auto& controller : controllers_) {
    if (controller.plan.callsign == callsign) return controller.station.get();
  }
  return nullptr;
}

}  // namespace netserver
