// Placing and moving a pilot's simulator object from its reports.
#include <cmath>
#include <string>

#include "core/host.h"
#include "core/text.h"
#include "traffic/traffic_table.h"
#include "ui/shared_values.h"

namespace talvix {
namespace {

constexpr float kTurnPerStep = 0.0009765625f;        // 1/1024
constexpr float kRadiansPerDegree = 0.017453294f;    // pi/180
constexpr float kFeetPerSecondPerKnot = 1.6877778f;  // 6076/3600
constexpr double kReportsPerSecond = 0.2;            // one every 5 s

void PlaceObject(TrafficRecord* record) {
  host::SetPosition(record->reference, record->position);
  host::SetOrientation(record->reference, record->attitude);
}

}  // namespace

const char kDefaultTrafficModel[] = "tvox\\C172.tvx";

int FeetPerSecondFromKnots(int knots) {
  float feetPerSecond = static_cast<float>(knots) * kFeetPerSecondPerKnot;
  // A hostile speed must not overflow the conversion.
  if (feetPerSecond >= 2147483520.0f) return 2147483520;
  if (feetPerSecond <= -2147483520.0f) return -2147483520;
  return static_cast<int>(feetPerSecond);
}

HostVector AttitudeToOrientation(std::uint32_t pitch, std::uint32_t bank,
                                 std::uint32_t heading) {
  float pitchDegrees =
      host::Normalise180(static_cast<float>(pitch * 360u) * kTurnPerStep);
  float bankDegrees =
      host::Normalise180(static_cast<float>(bank * 360u) * kTurnPerStep);
  // The heading stays 0 to 2 pi.
  float headingDegrees = static_cast<float>(heading * 360u) * kTurnPerStep;
  HostVector radians;
  radians.x = pitchDegrees * kRadiansPerDegree;
  radians.y = headingDegrees * kRadiansPerDegree;
  radians.z = bankDegrees * kRadiansPerDegree;
  return radians;
}

void SetTrafficVelocity(TrafficRecord* record) {
  if (record->object == nullptr) return;
  if (record->speed <= 5) {
    host::SetSpeed(record->reference, static_cast<float>(record->speed));
    return;
  }
  double speed = record->speed;
  HostVector velocity;
  velocity.x = std::sin(record->attitude.y) * speed;
  // Two far-apart hostile altitudes can overflow their difference.
  velocity.y =
      (record->position.alt - record->previousPosition.alt) * kReportsPerSecond;
  if (!std::isfinite(velocity.y)) velocity.y = 0.0;
  velocity.z = std::cos(record->attitude.y) * speed;
  host::SetVelocity(record->reference, velocity);
}

void CreateTraffic(TrafficRecord* record, const char* callsign,
                   const HostPosition& position, std::uint32_t pitch,
                   std::uint32_t bank, std::uint32_t heading, int knots) {
  CopyText(record->callsign, callsign);
  record->position = position;
  record->peerVersion = 0;
  record->speed = FeetPerSecondFromKnots(knots);
  record->attitude = AttitudeToOrientation(pitch, bank, heading);

  record->object = host::CreateObject(kDefaultTrafficModel);
  if (record->object == nullptr) return;
  record->reference = record->object->ref;
  host::SetNames(record->reference, record->callsign, record->callsign);
  PlaceObject(record);
  std::string notice = std::string("Added: ") + record->callsign;
  host::TimedMessage(notice.c_str(), 2.0f);
}

void UpdateTraffic(TrafficRecord* record, const HostPosition& position,
                   std::uint32_t pitch, std::uint32_t bank,
                   std::uint32_t heading, int knots) {
  Traffic().setTicksLeft(record, kTrafficTtl);
  record->speed = FeetPerSecondFromKnots(knots);
  record->previousPosition = record->position;
  record->position = position;
  record->position.alt += AltitudeOffset();
  record->attitude = AttitudeToOrientation(pitch, bank, heading);
  // A record without an object changes only itself.
  if (record->object == nullptr) return;
  PlaceObject(record);
  SetTrafficVelocity(record);
}

}  // namespace talvix
