#include "net/ctx_socket.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <new>

#include "core/guard.h"
#include "net/queue_locks.h"
#include "platform/platform.h"

namespace talvix {
namespace {
constexpr char kReceiverGuard[] =
    "CTXSocket - Talvix: Exception caught. Notify author.";

// A failed call on the non-blocking socket: only "nothing waiting yet" or
// "no room to write yet" (one error) or an interrupted call leaves the
// connection usable.
bool WouldBlock() {
#if defined(_WIN32)
  const int error = WSAGetLastError();
  return error == WSAEWOULDBLOCK || error == WSAEINTR;
#else
  return errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR;
#endif
}

// What a peek into room for at least one byte says of the connection: 0
// bytes is the end of the stream, a failure other than no data a break.
bool PeekFoundEnd(ssize_t peeked) {
  return peeked == 0 || (peeked < 0 && !WouldBlock());
}

}  // namespace

CTXSocket::CTXSocket(const ost::IPV4Host& server)
    : ost::TCPSession(server, kPort, kStreamBufferSize, 0, 0) {}

CTXSocket::~CTXSocket() {
  stop_.request();
  ost::Thread::join();
  // The base then sends what is still buffered and closes the socket; the
  // queues go with this object.
}

bool CTXSocket::queueOn(OutgoingQueue::Lane lane, Packet* packet) {
  if (packet == nullptr) return false;
  platform::LockGuard hold(OutgoingLock());
  if (outgoing_.push(packet, lane)) return true;
  ++droppedOutgoing_[lane];
  return false;
}

std::size_t CTXSocket::writeToSocket(const char* data, std::size_t length) {
  // Straight to the socket, not through the stream: a stream whose write
  // would block takes on a failed state that drops every later line.
  std::lock_guard<std::mutex> hold(streamLock_);
  const ssize_t written = writeData(data, length);
  return written > 0 ? static_cast<std::size_t>(written) : 0;
}

ssize_t CTXSocket::writeData(const void* data, size_t length,
                             timeout_t timeout) {
  const ssize_t written = ost::TCPSession::writeData(data, length, timeout);
  if (written < 0 && !WouldBlock()) writeBroken_.store(true);
  return written;
}

bool CTXSocket::localAddress(std::string* hostName,
                             unsigned char bytes[4]) const {
  if (!connected()) return false;
  const ost::IPV4Host local = getLocal(nullptr);
  if (hostName != nullptr) {
    const char* name = local.getHostname();
    *hostName = name ? name : "";
  }
  if (bytes != nullptr) {
    const in_addr address = local.getAddress();
    std::memcpy(bytes, &address, 4);
  }
  return true;
}

bool CTXSocket::waitForOutputRoom() {
  {
    std::lock_guard<std::mutex> hold(streamLock_);
    flush();
  }
  // The poll itself needs no lock; its bound lets a stop request in even
  // when the server has stopped reading.
  const auto start = std::chrono::steady_clock::now();
  if (Socket::isPending(Socket::pendingOutput, kOutputWaitMs)) return true;
  // A socket in error answers at once; the caller begins its next cycle
  // straight away, so wait out the bound here rather than spin.
  const auto spent = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  if (spent.count() < kOutputWaitMs)
    stop_.pause(kOutputWaitMs - static_cast<int>(spent.count()));
  return false;
}

bool CTXSocket::readLine() {
  // Peek, then consume exactly the bytes up to the line end, so the bytes of
  // the next line stay on the socket for the next cycle.
  while (!line_.complete()) {
    const ssize_t peeked = peek(line_.tail(), line_.room());
    if (PeekFoundEnd(peeked)) lost_.store(true);
    if (peeked <= 0) return false;
    bool ended = false;
    const std::size_t take = LineReader::Take(
        line_.tail(), static_cast<std::size_t>(peeked), &ended);
    const ssize_t got = readData(line_.tail(), take);
    if (got <= 0) return false;
    line_.append(static_cast<std::size_t>(got),
                 ended && static_cast<std::size_t>(got) == take);
  }
  return true;
}

void CTXSocket::checkConnection() {
  char byte = 0;
  if (PeekFoundEnd(peek(&byte, 1))) lost_.store(true);
}

void CTXSocket::deliverLine() {
  Packet* packet = new (std::nothrow) Packet(line_.cutLine());
  line_.clear();
  if (packet == nullptr) return;  // dropped without a message
  platform::LockGuard hold(IncomingLock());
  if (!incoming_.push(packet)) ++droppedIncoming_;
}

bool CTXSocket::incomingHasRoom() const {
  // Only this thread pushes, so the room seen here can only grow before
  // the push.
  return incoming_.count() < PacketQueue::kSlots;
}

void CTXSocket::receiveWaitingLines() {
  // Every complete line waiting is cut, in order, while the queue has room
  // for it; the rest stay on the socket for the next cycle. A queue already
  // full still gets the cycle's first line, which it drops and counts, so
  // a dispatcher that has stopped draining is told as before.
  bool first = true;
  while ((first || incomingHasRoom()) && !stop_.requested() && readLine()) {
    deliverLine();
    first = false;
  }
}

void CTXSocket::initial() {
  // The socket connects in non-blocking mode from the constructor on; it
  // can take output once the attempt has ended either way. A socket that
  // failed at once is invalid and reports output room at once as well.
  const auto deadline = std::chrono::steady_clock::now() +
                        std::chrono::milliseconds(kConnectTimeoutMs);
  while (!Socket::isPending(Socket::pendingOutput, kConnectSliceMs)) {
    if (stop_.requested() || std::chrono::steady_clock::now() >= deadline)
      break;
  }
  // Stopped while connecting: the socket stays unconnected and run() ends
  // at once. Otherwise the library settles the outcome: a socket without
  // room by now has timed out, one with a pending error was refused.
  if (stop_.requested()) return;
  waitConnection(0);
}

void CTXSocket::run() {
  // Initial has waited for the connection; a session that never connected
  // stays dead and its thread ends here.
  if (!isConnected()) {
    if (!stop_.requested()) neverConnected_.store(true);
    return;
  }
  // A link that dies in silence must still break the socket, so that the
  // reads below find it ended; set once the connection is up, as the bound
  // on unacknowledged data would otherwise also cut the connect wait short.
  platform::WatchLink(static_cast<std::uintptr_t>(so),
                      platform::SessionLinkWatch());
  connected_.store(true);
  line_.clear();
  while (!stop_.requested()) {
    cycles_.fetch_add(1, std::memory_order_relaxed);
    bool room = true;
    RunGuarded(kReceiverGuard, [&] {
      room = waitForOutputRoom();
      if (!room) {
        checkConnection();  // a broken socket has no room either
      } else {
        receiveWaitingLines();
      }
    });
    // A write that failed tells of a broken link even when reading finds
    // nothing amiss; the lines read this cycle are queued by now.
    if (writeBroken_.load()) lost_.store(true);
    // The server has gone: every line it completed is queued, a line cut
    // off by the end is dropped, and the receiver ends. The simulator's side
    // ends the session once it has handled the queued lines.
    if (lost_.load()) break;
    // No room yet: the next cycle begins at once. The wait is bounded, so
    // the stop request at the top of the loop still gets in.
    if (!room) continue;
    if (stop_.pause(kPauseMs)) break;
  }
}

}  // namespace talvix
