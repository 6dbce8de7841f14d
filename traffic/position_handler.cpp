// "@" lines of other pilots: create, move or drop their traffic records.
#include <cmath>
#include <cstring>
#include <new>
#include <string>

#include "core/guard.h"
#include "core/host.h"
#include "core/text.h"
#include "net/connection_record.h"
#include "net/field_reader.h"
#include "net/packet.h"
#include "net/session.h"
#include "protocol/handlers.h"
#include "protocol/own_aircraft.h"
#include "traffic/traffic_table.h"
#include "ui/shared_values.h"

namespace talvix {
namespace {

constexpr float kNauticalMilesPerFoot = 0.00016458196f;  // 1/6076

struct PilotReport {
  char callsign[32];
  HostPosition position;
  int knots;
  std::uint32_t pitch;
  std::uint32_t bank;
  std::uint32_t heading;
};

// A value that is not finite would poison every later distance; the
// converted values are checked, since a finite reading can overflow once
// turned into arc-seconds.
double Finite(double value) { return std::isfinite(value) ? value : 0.0; }

// Reads the fields after the callsign; throws past the last, before
// anything has been changed.
void ReadReport(FieldReader& fields, PilotReport& report) {
  fields.skip();  // transponder code
  fields.skip();  // always 1
  double latitude = ParseDouble(fields.next().c_str());
  double longitude = ParseDouble(fields.next().c_str());
  double altitude = ParseDouble(fields.next().c_str());
  report.knots = ParseInt(fields.next());
  std::uint32_t word = ParseUint32Wrapping(fields.next().c_str());
  int adjustment = ParseInt(fields.next());

  report.position.lat = Finite(latitude * 3600.0);
  report.position.lon = Finite(longitude * 3600.0);
  report.position.alt = Finite(altitude + adjustment);
  report.pitch = word >> 22;
  report.bank = (word >> 12) & 1023u;
  report.heading = (word >> 2) & 1023u;
}

// "#TX", the own callsign, the pilot and the request; queued whenever a
// session exists, behind the lines someone waits for.
void SendTypeRequest(Packet* packet, const char* pilot, const char* request) {
  packet->setText("#TX");
  packet->appendField(OwnCallsign());
  packet->appendField(pilot);
  packet->appendField(request);
  QueueRequestIfSession(packet);
}

void AddPilot(const PilotReport& report) {
  // A full table ignores the newcomer before anything is shown.
  if (Traffic().full()) return;
  TrafficRecord* record = new (std::nothrow) TrafficRecord;
  Packet* typeRequest = new (std::nothrow) Packet;
  if (record == nullptr || typeRequest == nullptr) {
    delete record;
    delete typeRequest;
    reportFatalMemoryError();
    return;
  }
  CreateTraffic(record, report.callsign, report.position, report.pitch,
                report.bank, report.heading, report.knots);
  AddTraffic(record);
  SendTypeRequest(typeRequest, record->callsign, "PIR");

  Packet* versionRequest = new (std::nothrow) Packet;
  if (versionRequest == nullptr) {
    reportFatalMemoryError();
    return;
  }
  SendTypeRequest(versionRequest, record->callsign, "VIR");
}

void HandlePilotLine(Packet* packet) {
  FieldReader fields(packet->payload());
  fields.skip();  // mode letter
  PilotReport report{};
  // Cut before the lookup, so a long callsign finds its own record again.
  CopyText(report.callsign, fields.next());
  if (std::strcmp(report.callsign, OwnCallsign()) == 0) return;  // own echo
  ReadReport(fields, report);

  HostPosition own = OwnRawPosition();
  float distance =
      host::DistanceFeet(own, report.position) * kNauticalMilesPerFoot;

  TrafficRecord* record = FindTraffic(report.callsign);
  // A distance the host could not work out (not finite) is out of range.
  if (!(distance <= static_cast<float>(MPDistance()))) {
    if (record != nullptr) RemoveTraffic(record);
    return;
  }
  if (record != nullptr) {
    UpdateTraffic(record, report.position, report.pitch, report.bank,
                  report.heading, report.knots);
    return;
  }
  AddPilot(report);
}

}  // namespace

void handleAT(Packet* packet) {
  RunGuarded("****> handleAT - Talvix: Exception caught.", [&] {
    if (packet != nullptr) HandlePilotLine(packet);
  });
}

}  // namespace talvix
