// The module-wide references to the current session and sender, shared by
// the accessors (net/session.cpp) and connect/disconnect (net/connect.cpp).
#pragma once

#include <string>

namespace talvix {

class CTXSocket;
class SocketSender;

struct SessionState {
  CTXSocket* session = nullptr;
  SocketSender* sender = nullptr;
  std::string server;  // the address the session was opened for
};

SessionState& Session();

}  // namespace talvix
