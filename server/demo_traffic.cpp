#include "server/demo_traffic.h"

#include <string>
#include <utility>

#include "server/peer.h"
#include "server/wire_line.h"

namespace netserver {

const char* const DemoTraffic::kControllerLine =
    "%KSFO_TWR:20000:4:50:3:37.61890:-122.37500";
const char* const DemoTraffic::kAtisText =
    "KSFO_TWR ATIS INFORMATION ALPHA. LANDING AND DEPARTING 28L AND 28R. "
    "ALTIMETER 2992. "
    "VOICE 127.0.0.1/KSFO_TWR";

std::vector<DemoPilot> DemoTraffic::pilots() {
  return {
      {"DEMO1", 'N', 4521, 37.6189, -122.3750, 4.0, 3500, 180, "1", "~B738"},
      {"DEMO2", 'Y', 1200, 37.6500, -122.3000, 2.0, 1500, 95, "0", "~C172"},
      {"DEMO3", 'S', 3342, 37.5800, -122.4300, 6.0, 6000, 210, "3", "~AT72"},
  };
}

// One demo pilot or the demo controller, logged in to the router like a
// client. Its answers are posted, never sent from inside a delivery.
class DemoTraffic::Station : public Peer,
                             public std::enable_shared_from_this<Station> {
 public:
  Station(asio::io_context& io, Router& router, std::string callsign,
          const DemoPilot* pilot)
      : io_(io), router_(router), callsign_(std::move(callsign)) {
    if (pilot != nullptr) {
      pilot_ = *pilot;
      isPilot_ = true;
    }
  }

  const std::string& callsign() const { return callsign_; }
  bool isPilot() const { return isPilot_; }
  const DemoPilot& pilot() const { return pilot_; }

  void send(const std::string& line) {
    if (active_) router_.lineFrom(*this, line);
  }
  void activate() { active_ = true; }
  void deactivate() {
    if (!active_) return;
    active_ = false;
    router_.peerGone(*this);
  }

  void deliver(const std::string& line) override {
    if (!active_) return;
    const auto parsed = parseWireLine(line);
    if (!parsed) return;
    const auto asker = parsed->sender();
    const auto addressee = parsed->addressee();
    if (!asker || !addressee) return;
    if (*addressee != callsign_ && *addressee != "*" && *addressee != "*P")
      return;
    const std::string kind = parsed->field(2).value_or("");
    std::string reply;
    if (parsed->prefix == "#TX" && isPilot_ && kind == "PIR") {
      reply = "#TX" + callsign_ + ":" + *asker +
              ":PI:X:0:" + pilot_.engineDigit + ":" + pilot_.model;
    } else if (parsed->prefix == "#TX" && isPilot_ && kind == "VIR") {
      reply = "#TX" + callsign_ + ":" + *asker + ":VI:31";
    } else if (parsed->prefix == "$CQ" && !isPilot_ && kind == "ATIS") {
      reply = "#TM" + callsign_ + ":" + *asker + ":" + kAtisText;
    } else if (parsed->prefix == "$PI") {
      reply = "$PO" + callsign_ + ":" + *asker;
      for (std::size_t i = 2; i < parsed->fields.size(); ++i)
        reply += ":" + parsed->fields[i];
    }
    if (reply.empty()) return;
    asio::post(io_, [self = shared_from_this(), reply] { self->send(reply); });
  }
  void disconnectAfterFlush() override { deactivateLater(); }
  void disconnect() override { deactivateLater(); }
  std::string describe() const override { return "demo:" + callsign_; }
  bool isLocal() const override { return true; }

 private:
  // Killed or closed by the console: the router has already dropped us.
  void deactivateLater() { active_ = false; }

  asio::io_context& io_;
  Router& router_;
  std::string callsign_;
  DemoPilot pilot_{};
  bool isPilot_ = false;
  bool active_ = false;
};

DemoTraffic::DemoTraffic(asio::io_context& io, Router& router,
                         std::chrono::milliseconds period)
    : io_(io), router_(router), period_(period), timer_(io) {}

DemoTraffic::~DemoTraffic() { stop(); }

void DemoTraffic::start() {
  const auto demoPilots = pilots();
  for (const auto& pilot : demoPilots) {
    stations_.push_back(
        std::make_shared<Station>(io_, router_, pilot.callsign, &pilot));
  }
  stations_.push_back(
      std::make_shared<Station>(io_, router_, "KSFO_TWR", nullptr));
  for (const auto& station : stations_) {
    if (router_.loginLocal(*station, station->callsign())) station->activate();
  }
  startedAt_ = std::chrono::steady_clock::now();
  tick();
}

void DemoTraffic::stop() {
  timer_.cancel();
  for (const auto& station : stations_) station->deactivate();
  stations_.clear();
}

void DemoTraffic::tick() {
  const double elapsed = std::chrono::duration<double>(
                             std::chrono::steady_clock::now() - startedAt_)
                             .count();
  for (const auto& station : stations_) {
    if (station->isPilot()) {
      station->send(positionLine(station->pilot(),
                                 positionAt(station->pilot(), elapsed)));
    } else {
      station->send(kControllerLine);
    }
  }
  timer_.expires_after(period_);
  timer_.async_wait([this](const asio::error_code& ec) {
    if (!ec) tick();
  });
}

}  // namespace netserver
