// The sender thread: writes at most one queued line per cycle to the
// session's stream, followed by CR LF, and remembers it as the last sent
// line. Waiting lines go before waiting requests (OutgoingQueue).
#pragma once

#include <commoncpp/commoncpp.h>

#include <string>

#include "net/worker_stop.h"

namespace talvix {

class CTXSocket;

class SocketSender : public ost::Thread {
 public:
  static constexpr int kPauseMs = 55;

  // The session outlives the sender: disconnect destroys the sender first.
  explicit SocketSender(CTXSocket* session);
  // Stops the thread and waits for it, then releases the last sent line.
  ~SocketSender() override;

  void startSending() { start(); }

  // Read and written under the outgoing lock.
  const std::string& lastSentLine() const { return lastSent_; }

 protected:
  void run() override;
  // Ends the thread by returning, so the destructor's join reaps it (see
  // CTXSocket::exit).
  void exit() override {}

 private:
  void sendOne();

  CTXSocket* session_;
  WorkerStop stop_;
  std::string lastSent_;
};

}  // namespace talvix
