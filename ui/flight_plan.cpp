// The stored flight plan and its "$FP" line.
#include "ui/flight_plan.h"

#include <new>
#include <string>

#include "net/connection_record.h"
#include "net/packet.h"
#include "net/session.h"
#include "ui/history.h"

namespace talvix {
namespace {

void AppendNumber(Packet* packet, int value) {
  packet->appendField(std::to_string(value).c_str());
}

}  // namespace

FlightPlan& StoredFlightPlan() {
  static FlightPlan plan;
  return plan;
}

void SendFlightPlan() {
  Packet* packet = new (std::nothrow) Packet();
  if (packet == nullptr) {
    reportFatalMemoryError();
    return;
  }
  const FlightPlan& plan = StoredFlightPlan();
  const char rules[] = {plan.rules, '\0'};
  packet->setText("$FP");
  packet->appendField(OwnCallsign());
  packet->appendField("SERVER");
  packet->appendField(rules);
  packet->appendField(plan.aircraftType);
  AppendNumber(packet, plan.airspeed);
  packet->appendField(plan.departure);
  AppendNumber(packet, plan.estimatedTime);
  AppendNumber(packet, plan.actualTime);
  packet->appendField(plan.cruiseAltitude);
  packet->appendField(plan.destination);
  AppendNumber(packet, plan.enrouteHours);
  AppendNumber(packet, plan.enrouteMinutes);
  AppendNumber(packet, plan.fuelHours);
  AppendNumber(packet, plan.fuelMinutes);
  packet->appendField(plan.alternate);
  packet->appendField(plan.remarks);
  packet->appendField(plan.route);
  // Said once the line is written, not when it is queued.
  packet->setSentNote("Flight Plan Sent");
  if (!IsConnected()) AddHistoryLine("You must be connected first");
  QueueIfConnected(packet);
}

void ResendFlightPlan() {
  const FlightPlan& plan = StoredFlightPlan();
  if (plan.departure[0] == '\0' && plan.destination[0] == '\0') {
    AddHistoryLine("No flight plan to send: file one first.");
    return;
  }
  SendFlightPlan();
}

}  // namespace talvix
