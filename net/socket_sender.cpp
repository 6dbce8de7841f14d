#include "net/socket_sender.h"

#include <memory>
#include <string>
#include <utility>

#include "core/host.h"
#include "net/ctx_socket.h"
#include "net/queue_locks.h"
#include "ui/history.h"

namespace talvix {
namespace {
constexpr char kSenderGuard[] =
    "SocketSender - Talvix: Exception caught. Notify author.";
constexpr float kGuardMessageDuration = 5.0f;
}  // namespace

SocketSender::SocketSender(CTXSocket* session)
    : ost::Thread(0, 0), session_(session) {}

SocketSender::~SocketSender() { stopSending(); }

void SocketSender::stopSending() {
  stop_.request();
  join();
}

std::string SocketSender::sendOne() {
  platform::LockGuard hold(OutgoingLock());
  // Lines wait in the queue until the connection is up; a dead session
  // writes nothing.
  if (!session_->connected()) return std::string();
  if (unwritten_.empty()) {
    if (session_->outgoing().count() <= 0) return std::string();
    // The oldest line waiting, else the oldest request (OutgoingQueue).
    std::unique_ptr<Packet> packet(session_->outgoing().pop());
    if (!packet) return std::string();
    inHand_ = packet->text();
    inHandNote_ = packet->takeSentNote();
    unwritten_ = inHand_ + "\r\n";
  }
  unwritten_.erase(
      0, session_->writeToSocket(unwritten_.data(), unwritten_.size()));
  if (!unwritten_.empty()) return std::string();  // the rest next cycle
  lastSent_.swap(inHand_);
  return std::move(inHandNote_);
}

void SocketSender::run() {
  while (!stop_.requested()) {
    try {
      // Posted outside the outgoing lock.
      const std::string note = sendOne();
      if (!note.empty()) AddHistoryLine(note.c_str());
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
