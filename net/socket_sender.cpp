#include "net/socket_sender.h"

#include <memory>

#include "core/host.h"
#include "net/ctx_socket.h"
#include "net/queue_locks.h"

namespace talvix {
namespace {
constexpr char kSenderGuard[] =
    "SocketSender - Talvix: Exception caught. Notify author.";
constexpr float kGuardMessageDuration = 5.0f;
}  // namespace

SocketSender::SocketSender(CTXSocket* session)
    : ost::Thread(0, 0), session_(session) {}

SocketSender::~SocketSender() {
  stop_.request();
  join();
}

void SocketSender::sendOne() {
  platform::LockGuard hold(OutgoingLock());
  // Lines wait in the queue until the connection is up; a dead session
  // writes nothing.
  if (!session_->connected() || session_->outgoing().count() <= 0) return;
  // The oldest line waiting, else the oldest request (OutgoingQueue).
  std::unique_ptr<Packet> packet(session_->outgoing().pop());
  if (!packet) return;
  std::string wire(packet->text());
  wire += "\r\n";
  session_->writeToStream(wire.data(), wire.size());
  lastSent_ = packet->text();
}

void SocketSender::run() {
  while (!stop_.requested()) {
    try {
      sendOne();
    } catch (...) {
      try {
        host::TimedMessage(kSenderGuard, kGuardMessageDuration);
      } catch (...) {
      }
    }
    if (stop_.pause(kPauseMs)) break;
  }
}

}  // namespace talvix
