// Takes at most one received packet off the incoming queue per idle call and
// hands it to the handler for its kind and prefix.
#pragma once

namespace talvix {

void handleIncomingMessage();

}  // namespace talvix
