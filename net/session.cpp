// The current session and sender, and what the rest of the plug-in asks of
// them. Only connectToServer sets them and only disconnectFromServer clears
// them (net/connect.cpp); all of it runs on the simulator's thread.
#include "net/session.h"

#include "net/ctx_socket.h"
#include "net/queue_locks.h"
#include "net/session_state.h"
#include "net/socket_sender.h"

namespace talvix {

SessionState& Session() {
  static SessionState state;
  return state;
}

CTXSocket* currentSession() { return Session().session; }
SocketSender* currentSender() { return Session().sender; }

bool IsConnected() {
  CTXSocket* session = currentSession();
  return session != nullptr && session->connected();
}

std::string SessionServer() {
  return currentSession() != nullptr ? Session().server : std::string();
}

bool QueueIfSession(Packet* packet) {
  CTXSocket* session = currentSession();
  if (session == nullptr) {
    delete packet;
    return false;
  }
  return session->queuePacket(packet);
}

bool QueueRequestIfSession(Packet* packet) {
  CTXSocket* session = currentSession();
  if (session == nullptr) {
    delete packet;
    return false;
  }
  return session->queueRequest(packet);
}

bool QueueIfConnected(Packet* packet) {
  if (!IsConnected()) {
    delete packet;
    return false;
  }
  return QueueIfSession(packet);
}

bool LastSentLine(std::string* out) {
  SocketSender* sender = currentSender();
  if (sender == nullptr || !QueueLocksExist()) return false;
  platform::LockGuard hold(OutgoingLock());
  if (out != nullptr) *out = sender->lastSentLine();
  return true;
}

bool LocalAddress(std::string* hostName, unsigned char bytes[4]) {
  CTXSocket* session = currentSession();
  return session != nullptr && session->localAddress(hostName, bytes);
}

}  // namespace talvix
