// Who is logged in under which callsign, and where each received line goes.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "server/event_log.h"
#include "server/flight_plan_store.h"
#include "server/metar_store.h"
#include "server/peer.h"
#include "server/wire_line.h"

namespace netserver {

// Runs on the server's one network thread; it takes no lock.
class Router {
 public:
  Router(const EventLog& log, MetarStore metar);

  // A line received from a peer. Before its "#AP" login a peer can send
  // nothing else: other lines are dropped. A refused login is answered with
  // its error, and then the connection is closed.
  void lineFrom(Peer& peer, const std::string& line);
  // The peer has closed; safe to call for a peer that never logged in or
  // was already removed.
  void peerGone(Peer& peer);

  // Stations run inside the server log in here; false when the callsign is
  // taken.
  bool loginLocal(Peer& peer, const std::string& callsign);

  bool sendTo(const std::string& callsign, const std::string& line);
  void sendToAll(const std::string& line);
  // "$!!SERVER:<callsign>:<reason>", then the connection is closed.
  bool kill(const std::string& callsign, const std::string& reason);
  bool close(const std::string& callsign);

  std::vector<std::string> callsigns() const;  // ordered
  // The callsigns of the TCP clients, without the stations run inside.
  std::vector<std::string> clientCallsigns() const;
  std::optional<std::string> callsignOf(const Peer& peer) const;
  const FlightPlanStore& flightPlans() const { return flightPlans_; }

  // Raw lines sent to every client right after its login, "{CS}" standing
  // for its callsign: lets a scenario have the server ping each client.
  void setGreeting(std::vector<std::string> lines) {
    greeting_ = std::move(lines);
  }
  // Told the callsign of every TCP client that logs in; it may not call
  // back into the router.
  void setLoginListener(std::function<void(const std::string&)> listener) {
    loginListener_ = std::move(listener);
  }

 private:
  struct Member {
    Peer* peer;
    bool controller = false;  // has sent a "%" line
  };

  void handleLogin(Peer& peer, const std::string& line);
  void handleMember(const std::string& callsign, Member& member,
                    const WireLine& parsed, const std::string& line);
  void routeToAddressee(const std::string& from, const std::string& addressee,
                        const std::string& line, bool frequencyIsBroadcast);
  void answerMetar(const std::string& from, const WireLine& parsed);
  void answerWeather(const std::string& from, const WireLine& parsed);
  void answerServerPing(const std::string& from, const WireLine& parsed);
  void relayToOthers(const std::string& from, const std::string& line);
  // Removes the member; a controller's leave is announced with "#DA".
  void leave(const std::string& callsign);
  void sendError(Peer& peer, const std::string& callsign, int number,
                 const std::string& text) const;

  const EventLog& log_;
  MetarStore metar_;
  std::vector<std::string> greeting_;
  std::function<void(const std::string&)> loginListener_;
  FlightPlanStore flightPlans_;
  std::map<std::string, Member> members_;
  std::unordered_map<const Peer*, std::string> callsignByPeer_;
};

}  // namespace netserver
