#include "sim/tui/scope_picture.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace sim::tui {
namespace {

constexpr double kPi = 3.14159265358979323846;
using Kind = ScopeText::Kind;

// The cells that are spoken for; labels go only where nothing is.
class Cells {
 public:
  explicit Cells(const Rect& area)
      : area_(area),
        taken_(static_cast<std::size_t>(std::max(0, area.height * area.width)),
               false) {}

  bool inside(int row, int col) const { return area_.contains(row, col); }
  bool free(int row, int col) const {
    return inside(row, col) && !at(row, col);
  }
  // A gap cell may fall outside the area (the frame is blank enough).
  bool gapFree(int row, int col) const {
    return !inside(row, col) || !at(row, col);
  }
  void take(int row, int col) {
    if (inside(row, col))
      taken_[static_cast<std::size_t>((row - area_.row) * area_.width + col -
                                      area_.col)] = true;
  }

 private:
  bool at(int row, int col) const {
    return taken_[static_cast<std::size_t>((row - area_.row) * area_.width +
                                           col - area_.col)];
  }
  Rect area_;
  std::vector<bool> taken_;
};

struct Leader {
  int row, col;
  char mark;
};

// A place for a label: its top-left cell, its lines, and the leader that
// ties it to its mark when it is not right beside it.
struct Place {
  int row, col;
  int lines;
  std::vector<Leader> leader;
};

std::vector<Place> Places(int r, int c, int width) {
  const int left = c - 1 - width;  // ends one blank before the mark
  return {
      // beside the mark, right then left
      {r, c + 2, 2, {}},
      {r - 1, c + 2, 2, {}},
      {r, left, 2, {}},
      {r - 1, left, 2, {}},
      // diagonally next to it
      {r + 1, c + 1, 2, {}},
      {r - 2, c + 1, 2, {}},
      {r + 1, c - width, 2, {}},
      {r - 2, c - width, 2, {}},
      // a step away, with a leader
      {r, c + 4, 2, {{r, c + 1, '-'}, {r, c + 2, '-'}}},
      {r, left - 2, 2, {{r, c - 1, '-'}, {r, c - 2, '-'}}},
      {r - 3, c + 2, 2, {{r - 1, c + 1, '/'}}},
      {r - 3, left, 2, {{r - 1, c - 1, '\\'}}},
      {r + 2, c + 2, 2, {{r + 1, c + 1, '\\'}}},
      {r + 2, left, 2, {{r + 1, c - 1, '/'}}},
  };
}

bool Fits(const Cells& cells, const Place& p, int width) {
  for (int line = 0; line < p.lines; ++line) {
    if (!cells.gapFree(p.row + line, p.col - 1) ||
        !cells.gapFree(p.row + line, p.col + width))
      return false;
    for (int col = p.col; col < p.col + width; ++col)
      if (!cells.free(p.row + line, col)) return false;
  }
  for (const Leader& l : p.leader)
    if (!cells.free(l.row, l.col)) return false;
  return true;
}

// Takes the label's cells; the blanks on either side are drawn too, so that
// no ring dot seems to join a label to a mark.
void Take(Cells& cells, const Place& p, int width,
          std::vector<ScopeText>& picture) {
  for (int line = 0; line < p.lines; ++line)
    for (int col : {p.col - 1, p.col + width})
      if (cells.inside(p.row + line, col))
        picture.push_back({Kind::kGap, p.row + line, col, " "});
  for (int line = 0; line < p.lines; ++line)
    for (int col = p.col - 1; col <= p.col + width; ++col)
      cells.take(p.row + line, col);
  for (const Leader& l : p.leader) cells.take(l.row, l.col);
}

std::string Detail(const ScopeTarget& t) {
  char text[48];
  std::snprintf(text, sizeof text, "%s %03.0f", t.type.c_str(),
                std::clamp(t.altitudeFt, 0.0, 99999.0) / 100.0);
  return text;
}

}  // namespace

int TargetsInRange(const std::vector<ScopeTarget>& traffic, double rangeNm) {
  return static_cast<int>(
      std::count_if(traffic.begin(), traffic.end(), [&](const ScopeTarget& t) {
        return std::hypot(t.eastNm, t.northNm) <= rangeNm;
      }));
}

std::string TargetCount(int count) {
  return std::to_string(count) + (count == 1 ? " target" : " targets");
}

std::vector<ScopeText> ScopePicture(const Rect& area, double range,
                                    double heading,
                                    const std::vector<ScopeTarget>& traffic) {
  std::vector<ScopeText> picture;
  if (area.height < 3 || area.width < 6 || range <= 0) return picture;
  Cells cells(area);
  const double rings[] = {range / 2.0, range};
  for (double ring : rings)
    for (int a = 0; a < 360; a += 3) {
      int row = 0, col = 0;
      const double rad = a * kPi / 180.0;
      if (ScopeCell(area, range, ring * std::sin(rad), ring * std::cos(rad),
                    &row, &col))
        picture.push_back({Kind::kRing, row, col, "."});
    }

  // The user's aircraft and the tick ahead of it along its heading.
  int ownRow = 0, ownCol = 0, tickRow = -1, tickCol = -1;
  ScopeCell(area, range, 0, 0, &ownRow, &ownCol);
  const double tick = 1.5 / std::max(0.001, RowsPerMile(area, range));
  ScopeCell(area, range, tick * std::sin(heading), tick * std::cos(heading),
            &tickRow, &tickCol);
  cells.take(ownRow, ownCol);
  cells.take(tickRow, tickCol);

  // Every target's mark, before any label.
  struct Shown {
    std::size_t index;
    int row, col;
    double distance;
  };
  std::vector<Shown> shown;
  for (std::size_t i = 0; i < traffic.size(); ++i) {
    int row = 0, col = 0;
    if (!ScopeCell(area, range, traffic[i].eastNm, traffic[i].northNm, &row,
                   &col))
      continue;
    shown.push_back(
        {i, row, col, std::hypot(traffic[i].eastNm, traffic[i].northNm)});
    cells.take(row, col);
  }

  // Ring labels where no mark is: above the ring, else below it.
  for (double ring : rings) {
    char label[16];
    std::snprintf(label, sizeof label, "%g nm", ring);
    const int width = static_cast<int>(std::string(label).size());
    for (double north : {ring, -ring}) {
      int row = 0, col = 0;
      if (!ScopeCell(area, range, 0, north, &row, &col)) continue;
      const Place p{row, col + 1, 1, {}};
      if (!Fits(cells, p, width)) continue;
      Take(cells, p, width, picture);
      picture.push_back({Kind::kRingLabel, row, col + 1, label});
      break;
    }
  }

  // Labels, the nearest traffic first.
  std::stable_sort(
      shown.begin(), shown.end(),
      [](const Shown& a, const Shown& b) { return a.distance < b.distance; });
  for (const Shown& s : shown) {
    const ScopeTarget& t = traffic[s.index];
    const std::string detail = Detail(t);
    const int width =
        static_cast<int>(std::max(t.callsign.size(), detail.size()));
    std::vector<Place> places = Places(s.row, s.col, width);
    // At the last, the callsign alone beside the mark.
    const int callsignWidth = static_cast<int>(t.callsign.size());
    const std::vector<Place> alone = {
        {s.row, s.col + 2, 1, {}}, {s.row, s.col - 1 - callsignWidth, 1, {}}};
    bool placed = false;
    for (const Place& p : places) {
      if (!Fits(cells, p, width)) continue;
      Take(cells, p, width, picture);
      for (const Leader& l : p.leader)
        picture.push_back(
            {Kind::kLeader, l.row, l.col, std::string(1, l.mark)});
      picture.push_back({Kind::kCallsign, p.row, p.col, t.callsign});
      picture.push_back({Kind::kDetail, p.row + 1, p.col, detail});
      placed = true;
      break;
    }
    for (std::size_t k = 0; !placed && k < alone.size(); ++k) {
      if (!Fits(cells, alone[k], callsignWidth)) continue;
      Take(cells, alone[k], callsignWidth, picture);
      picture.push_back(
          {Kind::kCallsign, alone[k].row, alone[k].col, t.callsign});
      placed = true;
    }
  }
  for (const Shown& s : shown)
    picture.push_back({Kind::kMark, s.row, s.col, "*"});
  if (tickRow >= 0) picture.push_back({Kind::kOwn, tickRow, tickCol, "'"});
  picture.push_back({Kind::kOwn, ownRow, ownCol, "+"});
  return picture;
}

}  // namespace sim::tui
