// The "#AP" login line built from the connection record.
#pragma once

#include "net/connection_record.h"
#include "net/packet.h"

namespace talvix {

// #AP<callsign>:SERVER:<username>:<password>:1:9:3:<first> <last> <base>
void WriteLoginLine(Packet* packet, const ConnectionRecord& record);

}  // namespace talvix
