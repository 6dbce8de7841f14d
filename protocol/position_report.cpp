// The five-second step: the "@" position line, then the ageing of the
// station list and the traffic table.
#include <new>

#include "atc/stations.h"
#include "core/number_format.h"
#include "net/connection_record.h"
#include "net/packet.h"
#include "net/session.h"
#include "protocol/own_aircraft.h"
#include "traffic/traffic_table.h"

namespace talvix {
namespace {

void BuildReport(Packet& packet, const OwnAircraftState& state,
                 const char* callsign, std::uint32_t attitude) {
  const char letter[2] = {state.modeLetter, '\0'};
  packet.setText("@");
  packet.appendText(letter);
  packet.appendField(callsign);
  packet.appendField(Format("%04.0f", state.transponderCode).c_str());
  packet.appendField("1");
  packet.appendField(Format("%2.5f", state.latitude).c_str());
  packet.appendField(Format("%3.5f", state.longitude).c_str());
  packet.appendField(Format("%.0f", state.altitude).c_str());
  packet.appendField(Format("%.0f", state.speed).c_str());
  packet.appendField(Format("%u", static_cast<unsigned>(attitude)).c_str());
  packet.appendField("0");
}

}  // namespace

std::string PositionReportText(const OwnAircraftState& state,
                               const char* callsign, std::uint32_t attitude) {
  Packet packet;
  BuildReport(packet, state, callsign, attitude);
  return packet.text();
}

void handlePositionUpdate() {
  Packet* packet = new (std::nothrow) Packet;
  if (packet == nullptr) {
    reportFatalMemoryError();
  } else {
    BuildReport(*packet, OwnAircraft(), OwnCallsign(), PackAttitude());
    QueueIfConnected(packet);
  }
  ExpireStations();
  AgeTraffic();
}

}  // namespace talvix
