// Not built yet: does nothing so the idle cycle runs end to end.
#include "net/session.h"

namespace talvix {

CTXSocket* currentSession() { return nullptr; }
SocketSender* currentSender() { return nullptr; }
bool IsConnected() { return false; }
bool QueueIfSession(Packet* packet) {
  delete packet;
  return false;
}
bool QueueIfConnected(Packet* packet) {
  delete packet;
  return false;
}
void OnConnectWindowEvent(std::uint32_t, std::uint32_t, std::uint32_t) {}
void connectToServer(std::uint32_t) {}
void disconnectFromServer() {}
bool LastSentLine(std::string*) { return false; }
bool LocalAddress(std::string*, unsigned char*) { return false; }
void CreateQueueLocks() {}
void DeleteQueueLocks() {}

}  // namespace talvix
