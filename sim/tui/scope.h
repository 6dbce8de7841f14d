// The traffic scope's picture: the AI objects around the user's aircraft,
// each moved on from its last reported place by the velocity the plug-in
// gave it, and where they fall on a scope of a given range.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "sim/host_model.h"
#include "sim/tui/layout.h"

namespace sim::tui {

struct ScopeTarget {
  int id = 0;
  std::string callsign;
  std::string type;     // the model's type code ("B738")
  double eastNm = 0.0;  // from the user's aircraft
  double northNm = 0.0;
  double altitudeFt = 0.0;
  double headingDeg = 0.0;
};

// Remembers when each object last moved, so that between reports it can be
// drawn where its velocity has taken it since.
class ScopeTracker {
 public:
  std::vector<ScopeTarget> update(const HostState& state);

 private:
  struct Seen {
    talvix::HostPosition position{};
    double since = 0.0;  // host time of the last change
  };
  std::map<int, Seen> seen_;
};

// The type an object shows: from its label "CALLSIGN - TYPE" when the
// plug-in gave one, else from its model file's name.
std::string TargetType(const SimObject& object);

// The scope's scale in rows per nautical mile (a cell is twice as tall as
// it is wide, so a column is half a row's distance).
double RowsPerMile(const Rect& area, double rangeNm);

// The cell of a point east/north of the centre; false when it is outside.
bool ScopeCell(const Rect& area, double rangeNm, double eastNm, double northNm,
               int* row, int* col);

}  // namespace sim::tui
