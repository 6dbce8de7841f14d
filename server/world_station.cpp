#include "server/world_station.h"

#include <utility>

#include "server/wire_line.h"

namespace netserver {

WorldStation::WorldStation(asio::io_context& io, Router& router,
                           std::string callsign, StationAnswers answers)
    : io_(io),
      router_(router),
      callsign_(std::move(callsign)),
      answers_(std::move(answers)) {}

bool WorldStation::logIn() {
  if (active_) return true;
  active_ = router_.loginLocal(*this, callsign_);
  return active_;
}

void WorldStation::send(const std::string& line) {
  if (active_) router_.lineFrom(*this, line);
}

void WorldStation::leave() {
  if (!active_) return;
  active_ = false;
  router_.peerGone(*this);
}

void WorldStation::deliver(const std::string& line) {
  if (!active_) return;
  std::string reply = answerTo(line);
  if (reply.empty()) return;
  asio::post(io_, [self = shared_from_this(), reply = std::move(reply)] {
    self->send(reply);
  });
}

std::string WorldStation::answerTo(const std::string& line) const {
  const auto parsed = parseWireLine(line);
  if (!parsed) return {};
  const auto asker = parsed->sender();
  const auto addressee = parsed->addressee();
  if (!asker || !addressee) return {};
  if (*addressee != callsign_ && *addressee != "*" && *addressee != "*P")
    return {};
  const std::string head = callsign_ + ":" + *asker;
  const std::string kind = parsed->field(2).value_or("");
  if (parsed->prefix == "#TX" && answers_.isPilot) {
    if (kind == "PIR") return "#TX" + head + ":PI:X:0:" + answers_.typeAnswer;
    if (kind == "VIR") return "#TX" + head + ":VI:31";
  } else if (parsed->prefix == "$CQ") {
    if (kind == "ATIS" && !answers_.isPilot && !answers_.atis.empty())
      return "#TM" + head + ":" + answers_.atis;
    if (kind.rfind("C?", 0) == 0)
      return "$CR" + head + ":C?:" + answers_.frequency;
    if (kind.rfind("INF", 0) == 0) {
      return "#TM" + head + ":PID= " + callsign_ +
             " V3.1 IP=world (127.0.0.1) FSVER=Fly!2 (" + callsign_ +
             (answers_.isPilot ? " PILOT)" : " CONTROLLER)");
    }
  } else if (parsed->prefix == "$PI") {
    std::string pong = "$PO" + head;
    for (std::size_t i = 2; i < parsed->fields.size(); ++i)
      pong += ":" + parsed->fields[i];
    return pong;
  }
  return {};
}

}  // namespace netserver
