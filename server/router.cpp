#include "server/router.h"

#include <cctype>
#include <utility>

#include "server/metar_weather.h"

namespace netserver {
namespace {

constexpr std::size_t kMaxCallsignLength = 31;
constexpr std::size_t kMaxEchoLength =
    64;  // of a client's text put into an error

bool equalsIgnoringCase(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) !=
        std::toupper(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return i == a.size() && b[i] == '\0';
}

bool isBroadcast(const std::string& addressee) {
  return addressee == "*" || addressee == "*P";
}

bool isServer(const std::string& addressee) {
  return equalsIgnoringCase(addressee, "SERVER");
}

// A callsign is one visible word that cannot be mistaken for an addressee
// of another kind (broadcast, frequency, the server).
bool isValidCallsign(const std::string& callsign) {
  if (callsign.empty() || callsign.size() > kMaxCallsignLength) return false;
  for (const char c : callsign) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u >= 0x7f || c == '&') return false;
  }
  return callsign[0] != '*' && callsign[0] != '@' && !isServer(callsign);
}

std::string cut(std::string text, std::size_t length) {
  if (text.size() > length) text.resize(length);
  return text;
}

}  // namespace

Router::Router(const EventLog& log, MetarStore metar)
    : log_(log), metar_(std::move(metar)) {}

void Router::sendError(Peer& peer, const std::string& callsign, int number,
                       const std::string& text) const {
  peer.deliver("$ERserver:" + callsign + ":" + std::to_string(number) + ":" +
               text);
}

void Router::lineFrom(Peer& peer, const std::string& line) {
  const auto known = callsignByPeer_.find(&peer);
  if (known == callsignByPeer_.end()) {
    handleLogin(peer, line);
    return;
  }
  const std::string callsign = known->second;
  if (!peer.isLocal()) log_.event("recv " + callsign + " " + printable(line));
  const auto parsed = parseWireLine(line);
  if (!parsed) return;
  if (parsed->prefix == "#AP") {
    sendError(peer, callsign, 3, "Already registered");
    return;
  }
  const auto sender = parsed->sender();
  if (!sender || *sender != callsign) {
    // Nobody speaks under another's callsign.
    sendError(peer, callsign, 5, "Invalid source callsign");
    return;
  }
  handleMember(callsign, members_.at(callsign), *parsed, line);
}

void Router::handleLogin(Peer& peer, const std::string& line) {
  const auto parsed = parseWireLine(line);
  if (!parsed || parsed->prefix != "#AP") {
    log_.event("ignored " + peer.describe() + " " + printable(line));
    return;
  }
  const std::string callsign = parsed->fields[0];
  if (!isValidCallsign(callsign)) {
    log_.event("reject " + printable(cut(callsign, kMaxEchoLength)) +
               " invalid callsign");
    sendError(peer, cut(callsign, kMaxEchoLength), 2, "Invalid callsign");
    peer.disconnectAfterFlush();
    return;
  }
  if (members_.count(callsign) != 0) {
    log_.event("reject " + callsign + " callsign in use");
    sendError(peer, callsign, 1, "Callsign in use");
    peer.disconnectAfterFlush();
    return;
  }
  members_.emplace(callsign, Member{&peer});
  callsignByPeer_.emplace(&peer, callsign);
  log_.event("login " + callsign);
  for (std::string greeting : greeting_) {
    for (std::size_t at; (at = greeting.find("{CS}")) != std::string::npos;)
      greeting.replace(at, 4, callsign);
    peer.deliver(greeting);
  }
  if (loginListener_) loginListener_(callsign);
}

bool Router::loginLocal(Peer& peer, const std::string& callsign) {
  if (members_.count(callsign) != 0 || callsignByPeer_.count(&peer) != 0)
    return false;
  members_.emplace(callsign, Member{&peer});
  callsignByPeer_.emplace(&peer, callsign);
  return true;
}

void Router::handleMember(const std::string& callsign, Member& member,
                          const WireLine& parsed, const std::string& line) {
  const std::string& prefix = parsed.prefix;
  if (prefix == "@") {
    relayToOthers(callsign, line);
  } else if (prefix == "%") {
    member.controller = true;
    relayToOthers(callsign, line);
  } else if (prefix == "#TM") {
    routeToAddressee(callsign, parsed.addressee().value_or(""), line, true);
  } else if (prefix == "$CQ" || prefix == "$CR" || prefix == "#TX" ||
             prefix == "$PO" || prefix == "$AR" || prefix == "$ER") {
    routeToAddressee(callsign, parsed.addressee().value_or(""), line, false);
  } else if (prefix == "$PI") {
    const std::string addressee = parsed.addressee().value_or("");
    if (isServer(addressee)) {
      answerServerPing(callsign, parsed);
    } else {
      routeToAddressee(callsign, addressee, line, false);
    }
  } else if (prefix == "$AX") {
    answerMetar(callsign, parsed);
  } else if (prefix == "#WX") {
    answerWeather(callsign, parsed);
  } else if (prefix == "$FP") {
    flightPlans_.store(callsign, line);
  } else if (prefix == "#DA") {
    Peer* peer = member.peer;
    leave(callsign);
    peer->disconnectAfterFlush();
  }
  // Other prefixes ("#DL", ...) have no server side here.
}

void Router::routeToAddressee(const std::string& from,
                              const std::string& addressee,
                              const std::string& line,
                              bool frequencyIsBroadcast) {
  if (isBroadcast(addressee) ||
      (frequencyIsBroadcast && !addressee.empty() && addressee[0] == '@')) {
    relayToOthers(from, line);
    return;
  }
  const auto target = members_.find(addressee);
  if (target != members_.end()) {
    target->second.peer->deliver(line);
  } else if (!isServer(addressee)) {
    sendError(*members_.at(from).peer, from, 7,
              printable(cut(addressee, kMaxEchoLength)));
  }
}

void Router::answerMetar(const std::string& from, const WireLine& parsed) {
  if (!isServer(parsed.addressee().value_or("")) ||
      parsed.field(2).value_or("") != "METAR")
    return;
  const std::string station = parsed.field(3).value_or("");
  Peer& peer = *members_.at(from).peer;
  if (const auto report = metar_.report(station)) {
    peer.deliver("$ARserver:" + from + ":METAR:" + *report);
  } else {
    sendError(peer, from, 9, printable(cut(station, kMaxEchoLength)));
  }
}

// The weather profile of the station's METAR, in the three weather lines.
void Router::answerWeather(const std::string& from, const WireLine& parsed) {
  if (!isServer(parsed.addressee().value_or(""))) return;
  const std::string station = parsed.field(2).value_or("");
  Peer& peer = *members_.at(from).peer;
  const auto report = metar_.report(station);
  const std::vector<std::string> lines =
      report ? metarWeatherLines(*report, from) : std::vector<std::string>{};
  if (lines.empty()) {
    sendError(peer, from, 9, printable(cut(station, kMaxEchoLength)));
    return;
  }
  for (const std::string& line : lines) peer.deliver(line);
}

void Router::answerServerPing(const std::string& from, const WireLine& parsed) {
  std::string pong = "$POserver:" + from;
  for (std::size_t i = 2; i < parsed.fields.size(); ++i)
    pong += ":" + parsed.fields[i];
  members_.at(from).peer->deliver(pong);
}

void Router::relayToOthers(const std::string& from, const std::string& line) {
  for (const auto& [callsign, member] : members_) {
    if (callsign != from) member.peer->deliver(line);
  }
}

void Router::leave(const std::string& callsign) {
  const auto found = members_.find(callsign);
  if (found == members_.end()) return;
  const bool controller = found->second.controller;
  const bool local = found->second.peer->isLocal();
  callsignByPeer_.erase(found->second.peer);
  members_.erase(found);
  if (controller) relayToOthers(callsign, "#DA" + callsign + ":SERVER");
  if (!local) log_.event("logout " + callsign);
}

void Router::peerGone(Peer& peer) {
  const auto known = callsignByPeer_.find(&peer);
  if (known == callsignByPeer_.end()) return;
  const std::string callsign = known->second;
  leave(callsign);
}

bool Router::sendTo(const std::string& callsign, const std::string& line) {
  const auto found = members_.find(callsign);
  if (found == members_.end()) return false;
  found->second.peer->deliver(line);
  return true;
}

void Router::sendToAll(const std::string& line) {
  for (const auto& entry : members_) entry.second.peer->deliver(line);
}

bool Router::kill(const std::string& callsign, const std::string& reason) {
  const auto found = members_.find(callsign);
  if (found == members_.end()) return false;
  Peer* peer = found->second.peer;
  peer->deliver("$!!SERVER:" + callsign + ":" + reason);
  leave(callsign);
  peer->disconnectAfterFlush();
  return true;
}

bool Router::close(const std::string& callsign) {
  const auto found = members_.find(callsign);
  if (found == members_.end()) return false;
  Peer* peer = found->second.peer;
  leave(callsign);
  peer->disconnect();
  return true;
}

std::vector<std::string> Router::callsigns() const {
  std::vector<std::string> list;
  for (const auto& entry : members_) list.push_back(entry.first);
  return list;
}

std::vector<std::string> Router::clientCallsigns() const {
  std::vector<std::string> list;
  for (const auto& entry : members_) {
    if (!entry.second.peer->isLocal()) list.push_back(entry.first);
  }
  return list;
}

std::optional<std::string> Router::callsignOf(const Peer& peer) const {
  const auto known = callsignByPeer_.find(&peer);
  if (known == callsignByPeer_.end()) return std::nullopt;
  return known->second;
}

}  // namespace netserver
