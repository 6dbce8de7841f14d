// Takes the received packets waiting on the incoming queue off it, in
// order, a bounded number per idle call, and hands each to the handler for
// its kind and prefix.
#pragma once

#include <chrono>

namespace talvix {

class Packet;

// The bound of one idle call: at 1000 reporting pilots some four lines wait
// per frame, so the bound only matters for bursts (a server that sends
// everyone at once after the login), which it spreads over frames.
constexpr int kIncomingLinesPerCall = 64;
constexpr std::chrono::microseconds kIncomingTimePerCall{500};
// Lines handled before the time is looked at: a frame always makes this much
// progress (a few microseconds a line), and a thread paused by the system
// between two lines does not split a handful of them over frames.
constexpr int kIncomingLinesBeforeTimeCheck = 4;

// Handles the waiting lines, oldest first, up to the bound above.
void handleIncomingMessage();
// The same with a bound of its own: at most maxLines, and no further line
// once maxTime has passed (the first waiting line is always handled).
// Returns the number of lines taken off the queue.
int handleIncomingMessages(int maxLines, std::chrono::nanoseconds maxTime);

// Hands one received packet to the handler for its kind and prefix; lines
// of no known kind or prefix are dropped. The caller keeps the packet.
void RouteReceivedPacket(Packet* packet);

}  // namespace talvix
