// One participant the router can deliver lines to: a TCP client or a demo
// station inside the server.
#pragma once

#include <string>

namespace netserver {

class Peer {
 public:
  virtual ~Peer() = default;

  // Queues one line (without its line end). Must never call back into the
  // router synchronously: the router may be walking its client list.
  virtual void deliver(const std::string& line) = 0;
  // Sends what is queued, then closes. Again no synchronous router call.
  virtual void disconnectAfterFlush() = 0;
  // Closes at once, dropping what is queued.
  virtual void disconnect() = 0;
  // Address or name for log lines before the peer has a callsign.
  virtual std::string describe() const = 0;
  // Demo stations inside the server: their own lines are not logged.
  virtual bool isLocal() const { return false; }
};

}  // namespace netserver
