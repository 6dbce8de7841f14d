// The sender thread: takes at most one queued line per cycle and writes it,
// followed by CR LF, to the session's socket. A socket without room takes
// part of a line or none of it: the rest is kept and written first, in the
// next cycles, so no line is lost or reordered while the server is slow to
// read. A line wholly written becomes the last sent line and its sent note
// is posted. Waiting lines go before waiting requests (OutgoingQueue).
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
  // Stops the thread and waits for it; the destructor does the same.
  void stopSending();

  // Read and written under the outgoing lock.
  const std::string& lastSentLine() const { return lastSent_; }
  // 1 while a line taken from the queue is not yet wholly written, else 0.
  // Read under the outgoing lock, or once the thread has ended.
  int unwrittenLines() const { return unwritten_.empty() ? 0 : 1; }

 protected:
  void run() override;
  // Ends the thread by returning, so the destructor's join reaps it (see
  // CTXSocket::exit).
  void exit() override {}

 private:
  // Writes what the socket takes of the line in hand, taking the next
  // queued line first when none is; the note of a line just completed.
  std::string sendOne();

  CTXSocket* session_;
  WorkerStop stop_;
  std::string lastSent_;
  // The line in hand: its bytes not yet written, its text and its note.
  std::string unwritten_;
  std::string inHand_;
  std::string inHandNote_;
};

}  // namespace talvix
