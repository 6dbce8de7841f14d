// The network session: a TCP session whose thread is the receiver. It owns
// the outgoing and the incoming queue and the stream both workers use.
#pragma once

#include <commoncpp/commoncpp.h>

#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>

#include "net/line_reader.h"
#include "net/packet.h"
#include "net/packet_queue.h"
#include "net/worker_stop.h"

namespace talvix {

class CTXSocket : public ost::TCPSession {
 public:
  static constexpr ost::tpport_t kPort = 6809;
  static constexpr std::size_t kStreamBufferSize = 512;
  static constexpr int kPauseMs = 50;
  static constexpr int kOutputWaitMs = 20;
  static constexpr int kConnectTimeoutMs = 60000;
  // The connect wait is cut into slices this long, so a stop request ends
  // it within one slice.
  static constexpr int kConnectSliceMs = 20;

  // Starts the connection attempt; the thread completes it in Initial.
  explicit CTXSocket(const ost::IPV4Host& server);
  // Stops the receiver and waits for it before anything it uses goes.
  ~CTXSocket() override;

  void startReceiver() { ost::Thread::start(); }

  // The one way to send a line: onto the outgoing queue under its lock.
  // Takes ownership; null is ignored. False when nothing was queued (a
  // full lane drops the line and counts it).
  bool queuePacket(Packet* packet) {
    return queueOn(OutgoingQueue::kLines, packet);
  }
  // The same for the plug-in's own requests to other pilots, which leave
  // after every waiting line (OutgoingQueue).
  bool queueRequest(Packet* packet) {
    return queueOn(OutgoingQueue::kRequests, packet);
  }

  // Lines dropped because their queue was full since the last call; each
  // call hands over the count and starts it again from 0.
  int takeDroppedIncoming() { return droppedIncoming_.exchange(0); }
  int takeDroppedOutgoing(OutgoingQueue::Lane lane) {
    return droppedOutgoing_[lane].exchange(0);
  }
  int droppedIncoming() const { return droppedIncoming_.load(); }

  // True once the receiver has seen the connection complete. The socket
  // state stays connected after that, as the library keeps it.
  bool connected() const { return connected_.load(); }
  // True once the receiver has found the connection closed by the server
  // or broken (end of stream, reset, a read error). Every line read before
  // is on the incoming queue by then, and the receiver reads no more.
  bool lost() const { return lost_.load(); }
  // True once a write to the socket has failed for any reason but a full
  // send buffer: the link is broken even if nothing has come to read. The
  // receiver then marks the connection lost after the lines still waiting.
  bool writeBroken() const { return writeBroken_.load(); }
  // True when the thread ended without the connection completing: refused,
  // an address that did not resolve, or the 60-second wait over.
  bool neverConnected() const { return neverConnected_.load(); }

  // Receiver cycles begun so far: the receiver's pace, seen from outside.
  int cycles() const { return cycles_.load(std::memory_order_relaxed); }

  // Writes what the socket takes of the bytes at once, without waiting,
  // and returns how many that was: fewer, or none, while the send buffer is
  // full (the sender keeps the rest), none once the link is broken.
  std::size_t writeToSocket(const char* data, std::size_t length);

  // The local end of the socket: host name and the four address bytes in
  // network order; false while not connected.
  bool localAddress(std::string* hostName, unsigned char bytes[4]) const;

  // Held by their locks (net/queue_locks.h).
  OutgoingQueue& outgoing() { return outgoing_; }
  PacketQueue& incoming() { return incoming_; }

 protected:
  // Waits up to 60 s for the connection to complete, as the library's own
  // step does, but in short slices that give way to a stop request.
  void initial() override;
  void run() override;
  void final() override {}
  // The library ends a thread by joining itself, which leaves it unjoined
  // and lets a destructor race the thread's last steps. Returning here ends
  // the thread by returning from its body, so the destructor's join is the
  // one that reaps it. A failed Initial therefore comes back to run().
  void exit() override {}

  // Every write, the sender's and the stream's flush, goes through here: a
  // failure other than a full send buffer is noted.
  ssize_t writeData(const void* data, size_t length,
                    timeout_t timeout = 0) override;

  // Adds waiting bytes of the current line; true when the line is complete
  // (ended by LF) or full. False when nothing more is waiting, and also when
  // the connection has ended, which lost() then tells. Reachable by derived
  // classes so the reader can be driven without the thread and its pause.
  bool readLine();
  // Turns the line read into a packet on the incoming queue.
  void deliverLine();
  // One cycle's reading: every complete line waiting, up to the incoming
  // queue's room.
  void receiveWaitingLines();

 private:
  bool queueOn(OutgoingQueue::Lane lane, Packet* packet);
  // Flushes the stream, then waits a bounded time for room to write.
  bool waitForOutputRoom();
  bool incomingHasRoom() const;
  // Marks the connection lost when a one-byte peek finds it ended.
  void checkConnection();

  OutgoingQueue outgoing_;
  PacketQueue incoming_;
  std::mutex streamLock_;  // the sender's write against the receiver's flush
  WorkerStop stop_;
  std::atomic<bool> connected_{false};
  std::atomic<bool> lost_{false};
  std::atomic<bool> writeBroken_{false};
  std::atomic<bool> neverConnected_{false};
  std::atomic<int> droppedIncoming_{0};
  std::atomic<int> droppedOutgoing_[OutgoingQueue::kLanes] = {0, 0};
  std::atomic<int> cycles_{0};
  // Receiver-only: the line being read, kept across cycles until its end.
  LineReader line_;
};

}  // namespace talvix
