// What the simulator offers when the stored flight plan is empty: its
// departure and destination airports, its clock and its own flight planner.
// Every record is the host's and is read by byte offset, never past its end.
#pragma once

#include <string>

namespace talvix {

// The airport identifiers of the simulator's plan; "" when it has none.
std::string SimulatorDeparture();
std::string SimulatorDestination();

// The clock as 'actT' shows it ("0905") and ten minutes later for 'estT'
// ("0915"; "0005" after 23:55).
struct PlanTimes {
  std::string actual;
  std::string estimated;
};
PlanTimes PlanTimesAt(int hour, int minute);
PlanTimes SimulatorPlanTimes();

// Airspeed (knots) and cruise altitude (feet) of the planner's second node,
// as decimal text; both "" without a planner or a second node.
struct CruiseDefaults {
  std::string airspeed;
  std::string altitude;
};
CruiseDefaults SimulatorCruise();

// Every waypoint (node kinds 2 and 3) of the planner, each followed by one
// blank; "" without a planner.
std::string SimulatorRoute();

}  // namespace talvix
