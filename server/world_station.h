// One pilot or controller of the world, logged in to the router like a
// client. It answers what is asked of it: type and version ("#TX" PIR and
// VIR), frequency and information ("$CQ" C? and INF), a controller's ATIS,
// and pings. Its answers are posted, never sent from inside a delivery.
#pragma once

#include <asio.hpp>
#include <memory>
#include <string>

#include "server/peer.h"
#include "server/router.h"

namespace netserver {

struct StationAnswers {
  bool isPilot = false;
  std::string typeAnswer;  // pilots: "1:~B738", engine digit and model
  std::string frequency;   // "120.500": a controller's own, a pilot's COM
  std::string atis;        // controllers: the ATIS answer
};

class WorldStation : public Peer,
                     public std::enable_shared_from_this<WorldStation> {
 public:
  WorldStation(asio::io_context& io, Router& router, std::string callsign,
               StationAnswers answers);

  const std::string& callsign() const { return callsign_; }
  bool isPilot() const { return answers_.isPilot; }
  bool online() const { return active_; }

  // Logs in; false while the callsign is taken by someone else.
  bool logIn();
  // Sends a line as this station, when it is logged in.
  void send(const std::string& line);
  // Leaves without a word (the server stops).
  void leave();

  void deliver(const std::string& line) override;
  void disconnectAfterFlush() override { active_ = false; }
  void disconnect() override { active_ = false; }
  std::string describe() const override { return "world:" + callsign_; }
  bool isLocal() const override { return true; }

 private:
  std::string answerTo(const std::string& line) const;

  asio::io_context& io_;
  Router& router_;
  std::string callsign_;
  StationAnswers answers_;
  bool active_ = false;
};

}  // namespace netserver
