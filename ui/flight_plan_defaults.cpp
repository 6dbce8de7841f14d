// Reads the simulator's airport records, clock and flight planner list. The
// planner list is the host's: it is released as soon as it has been read.
#include "ui/flight_plan_defaults.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

#include "core/float_evaluation.h"
#include "core/host.h"

namespace talvix {
namespace {

// A list that never ends (a corrupt link) is read this far and no further.
constexpr int kMaxPlanNodes = 1000;
// Knots per foot per second, in single precision.
constexpr float kKnotsPerFootPerSecond = 0.5924951f;

constexpr int kRouteWaypoint = 2;
constexpr int kRouteAirport = 3;

// A NUL-terminated text at offset of a record of size bytes; a text without
// its NUL ends at the record's end.
std::string TextAt(const unsigned char* record, std::size_t size,
                   std::size_t offset) {
  const char* start = reinterpret_cast<const char*>(record + offset);
  const void* nul = std::memchr(start, '\0', size - offset);
  const std::size_t length =
      nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - start)
          : size - offset;
  return std::string(start, length);
}

std::string AirportIdent(const AirportRecord& record) {
  std::int32_t hasAirport = 0;
  std::memcpy(&hasAirport, record.bytes, sizeof hasAirport);
  if (hasAirport != 1) return "";
  return TextAt(record.bytes, sizeof record.bytes, kAirportIdentOffset);
}

std::string TwoDigits(int value) {
  char text[16];
  std::snprintf(text, sizeof text, "%02d", value);
  return text;
}

// Toward zero; values outside the int range saturate and NaN gives 0.
int Truncate(float value) {
  if (std::isnan(value)) return 0;
  if (value >= 2147483647.0f) return std::numeric_limits<int>::max();
  if (value <= -2147483648.0f) return std::numeric_limits<int>::min();
  return static_cast<int>(value);
}

// One node of the host's list, read by its offsets.
struct PlanNode {
  const unsigned char* bytes;

  std::int32_t kind() const { return Read<std::int32_t>(kPlanNodeKindOffset); }
  float speed() const { return Read<float>(kPlanNodeSpeedOffset); }
  float altitude() const { return Read<float>(kPlanNodeAltitudeOffset); }
  const unsigned char* next() const {
    return Read<const unsigned char*>(kPlanNodeNextOffset);
  }
  std::string name() const {
    const std::size_t at =
        kind() == kRouteAirport ? kPlanNodeName3Offset : kPlanNodeName2Offset;
    return TextAt(bytes, kPlanNodeNextOffset, at);
  }

  template <typename T>
  T Read(std::size_t offset) const {
    T value;
    std::memcpy(&value, bytes + offset, sizeof value);
    return value;
  }
};

// Calls visit for each node, first to last, then releases the list.
template <typename Visit>
void ForEachPlanNode(Visit&& visit) {
  void* first = host::GetFlightPlan();
  if (first == nullptr) return;
  const auto* node = static_cast<const unsigned char*>(first);
  for (int index = 0; node != nullptr && index < kMaxPlanNodes; ++index) {
    const PlanNode current{node};
    visit(index, current);
    node = current.next();
  }
  host::ReleaseFlightPlan(first);
}

}  // namespace

std::string SimulatorDeparture() {
  AirportRecord record{};
  host::DepartureAirport(&record);
  return AirportIdent(record);
}

std::string SimulatorDestination() {
  AirportRecord record{};
  host::DestinationAirport(&record);
  return AirportIdent(record);
}

PlanTimes PlanTimesAt(int hour, int minute) {
  PlanTimes times;
  times.actual = TwoDigits(hour) + TwoDigits(minute);
  if (minute + 10 > 59) {
    const std::string nextHour = hour == 23 ? "00" : TwoDigits(hour + 1);
    times.estimated = nextHour + TwoDigits(minute - 50);
  } else {
    times.estimated = TwoDigits(hour) + TwoDigits(minute + 10);
  }
  return times;
}

PlanTimes SimulatorPlanTimes() {
  TimeOfDay now{};
  host::GetTimeOfDay(&now);
  return PlanTimesAt(now.hour, now.minute);
}

CruiseDefaults SimulatorCruise() {
  CruiseDefaults cruise;
  ForEachPlanNode([&](int index, const PlanNode& node) {
    if (index != 1) return;
    const float knots = node.speed() * kKnotsPerFootPerSecond;
    cruise.airspeed = std::to_string(Truncate(knots));
    cruise.altitude = std::to_string(Truncate(node.altitude()));
  });
  return cruise;
}

std::string SimulatorRoute() {
  std::string route;
  ForEachPlanNode([&](int, const PlanNode& node) {
    const std::int32_t kind = node.kind();
    if (kind == kRouteWaypoint || kind == kRouteAirport)
      route += node.name() + " ";
  });
  return route;
}

}  // namespace talvix
