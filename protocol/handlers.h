// The handlers of received lines, one per prefix. Each takes the packet
// read-only, runs inside its own guard and never lets a failure out.
#pragma once

#include "net/packet.h"

namespace talvix {

void handleAT(Packet* packet);       // "@" pilot position
void handlePERCENT(Packet* packet);  // "%" controller position
void handleTM(Packet* packet);       // "#TM" text message
void handleDA(Packet* packet);       // "#DA" controller gone
void handleCD(Packet* packet);       // "#CD" cloud data
void handleWD(Packet* packet);       // "#WD" wind data
void handleTX(Packet* packet);       // "#TX" aircraft type exchange
void handleTD(Packet* packet);       // "#TD" temperature data
void handleER(Packet* packet);       // "$ER" server error
void handlePI(Packet* packet);       // "$PI" ping
void handlePO(Packet* packet);       // "$PO" pong
void handleKILL(Packet* packet);     // "$!!" kill
void handleAR(Packet* packet);       // "$AR" weather report
void handleCQ(Packet* packet);       // "$CQ" client query

}  // namespace talvix
