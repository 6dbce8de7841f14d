// What the traffic scope shows, cell by cell, for an area of the screen:
// range rings and their labels, a mark for every target, each target's
// label in free cells beside it, and the user's aircraft drawn last. No
// terminal is needed here.
#pragma once

#include <string>
#include <vector>

#include "sim/tui/layout.h"
#include "sim/tui/scope.h"

namespace sim::tui {

struct ScopeText {
  enum class Kind {
    kRing,
    kRingLabel,
    kGap,  // a blank beside a label, over a ring's dot
    kLeader,
    kCallsign,
    kDetail,
    kMark,
    kOwn
  };
  Kind kind = Kind::kRing;
  int row = 0;
  int col = 0;
  std::string text;
};

// In drawing order: a later text goes over an earlier one. Labels never
// cover a mark, a ring label, the user's aircraft or another label (with a
// blank column kept on either side); a label that finds no room is left out,
// its target's mark stays.
std::vector<ScopeText> ScopePicture(const Rect& area, double rangeNm,
                                    double headingRadians,
                                    const std::vector<ScopeTarget>& traffic);

// The targets within rangeNm of the user's aircraft.
int TargetsInRange(const std::vector<ScopeTarget>& traffic, double rangeNm);

// "1 target", "0 targets", "12 targets".
std::string TargetCount(int count);

}  // namespace sim::tui
