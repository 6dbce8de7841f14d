// Takes at most one received packet off the incoming queue per idle call and
// hands it to the handler for its kind and prefix.
#pragma once

namespace talvix {

class Packet;

void handleIncomingMessage();

// Hands one received packet to the handler for its kind and prefix; lines
// of no known kind or prefix are dropped. The caller keeps the packet.
void RouteReceivedPacket(Packet* packet);

}  // namespace talvix
