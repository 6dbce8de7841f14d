// The network session as the rest of the plug-in sees it: the current
// session and sender, the connected test, and the one way to send a line.
#pragma once

#include <cstdint>
#include <string>

#include "net/packet.h"

namespace talvix {

class CTXSocket;
class SocketSender;

CTXSocket* currentSession();
SocketSender* currentSender();

// True when a current session exists and its socket is connected.
bool IsConnected();
// The server address the current session was opened for; empty without
// one.
std::string SessionServer();

// Hands the packet to the current session's outgoing queue when a session
// exists (connected or not); otherwise deletes it. True when queued.
bool QueueIfSession(Packet* packet);
// The same, but only while the session is connected.
bool QueueIfConnected(Packet* packet);
// As QueueIfSession, for the plug-in's own requests to other pilots: they
// leave after every line waiting or queued meanwhile, in their own order.
bool QueueRequestIfSession(Packet* packet);

// Connect window 'txCN' events and the OK button.
void OnConnectWindowEvent(std::uint32_t control, std::uint32_t event,
                          std::uint32_t extra);
void connectToServer(std::uint32_t component);
// Stops the sender, then the session, and discards both queues. Posts
// nothing.
void disconnectFromServer();
// Stops and destroys the sender alone, the first step of the above, and
// returns the lines that will now never be sent: one the sender had only
// partly written and every line still queued but the plug-in's own
// requests to other pilots. 0 without a session.
int StopSending();

// The last line the sender wrote, read under the outgoing lock. False (and
// nothing written) when there is no current sender.
bool LastSentLine(std::string* out);

// The local address of the current session's socket: host name and the four
// address bytes in network order. False without a session.
bool LocalAddress(std::string* hostName, unsigned char bytes[4]);

// The two queue locks, created by DLLInit and deleted by DLLKill.
void CreateQueueLocks();
void DeleteQueueLocks();

}  // namespace talvix
