// The simulator's own parts of the screen: menu bar, panel, traffic scope,
// notices, help, alerts.
#include <curses.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "sim/geometry.h"
#include "sim/tui/draw_parts.h"
#include "sim/tui/flight.h"
#include "sim/tui/keys.h"
#include "sim/tui/panel_keys.h"
#include "sim/tui/scope_picture.h"

namespace sim::tui::draw {

constexpr double kPi = 3.14159265358979323846;

std::string Format(const char* format, double a, double b = 0, double c = 0) {
  char text[128];
  std::snprintf(text, sizeof text, format, a, b, c);
  return text;
}

std::string LatLon(double arcSeconds, bool latitude) {
  double degrees = arcSeconds / 3600.0;
  if (!latitude && degrees > 180.0) degrees -= 360.0;
  const char hemisphere =
      latitude ? (degrees < 0 ? 'S' : 'N') : (degrees < 0 ? 'W' : 'E');
  degrees = std::fabs(degrees);
  const int whole = static_cast<int>(degrees);
  char text[32];
  std::snprintf(text, sizeof text, "%c%0*d %06.3f'", hemisphere,
                latitude ? 2 : 3, whole, (degrees - whole) * 60.0);
  return text;
}

void DrawMenuBar(const HostState& state, const ViewState& view, const Rect& r) {
  Fill(r.row, r.col, r.width, A_REVERSE);
  std::string bar = " Talvix stand-in simulator   F4";
  for (const Menu& m : state.menus) bar += " " + m.title;
  bar += "   windows (^W):";
  Put(r.row, r.col, bar, r.width, A_REVERSE);
  int col = r.col + static_cast<int>(bar.size()) + 1;
  for (std::uint32_t code : view.order) {
    auto w = state.windows.find(code);
    if (w == state.windows.end()) continue;
    std::string name = " " + WindowName(w->second) + " ";
    Put(r.row, col, name, r.right() - col,
        code == view.current ? A_BOLD : A_REVERSE);
    col += static_cast<int>(name.size()) + 1;
    if (col >= r.right()) break;
  }
}

const char* ModeName(int mode) {
  switch (mode) {
    case 0: return "Off";
    case 5: return "On";
    case 6: return "Alt";
    default: return "Stby";
  }
}

std::string NetworkLight(const std::vector<std::string>& connections) {
  if (connections.empty()) return "Network  --  no TCP connection";
  std::string text = "Network  ON  " + connections.front();
  if (connections.size() > 1)
    text += " +" + std::to_string(connections.size() - 1);
  return text;
}

void DrawPanel(const HostState& s, const ViewState& view, const Rect& r) {
  Frame(r, "Simulator", false);
  const UserAircraft& u = s.user;
  const double heading =
      Normalise360(static_cast<float>(u.orientation.y * 180.0 / kPi));
  const double knots = u.speed / kFeetPerSecondPerKnot;
  const FlightTargets& f = view.flight;
  // Every line fits the narrowest panel's 40 columns.
  const int col = r.col + 2, width = r.width - 4;
  Put(r.row + 1, col,
      "Position " + LatLon(u.position.lat, true) + "  " +
          LatLon(u.position.lon, false),
      width);
  Put(r.row + 2, col,
      Format("Altitude %6.0f ft   set %5.0f ft", u.position.alt, f.altitudeFt),
      width);
  Put(r.row + 3, col,
      Format("Speed    %6.0f kt   set %5.0f kt", knots, f.knots), width);
  char headings[64];
  std::snprintf(headings, sizeof headings,
                "Heading     %03ld      set   %03ld  bank%4.0f",
                std::lround(heading) % 360, std::lround(f.headingDeg) % 360,
                u.orientation.z * 180.0 / kPi);
  Put(r.row + 4, col, headings, width);
  char xpdr[64];
  std::snprintf(xpdr, sizeof xpdr, "COM 1  %7.3f     XPDR %04d %s", u.com1,
                u.transponder.code, ModeName(u.transponder.mode));
  Put(r.row + 5, col, xpdr, width, A_BOLD);
  const std::string light = NetworkLight(view.connections);
  Put(r.row + 6, col, light, width,
      view.connections.empty() ? A_DIM : A_BOLD | Colour(kPairTarget));
  if (view.prompt.kind != Prompt::Kind::kNone) {
    Put(r.row + 7, col, PromptLine(view.prompt), width, A_REVERSE);
  } else if (!view.status.empty()) {
    Put(r.row + 7, col, view.status, width, A_BOLD);
  }
}

void DrawScope(const HostState& s, const std::vector<ScopeTarget>& traffic,
               const ViewState& view, const Rect& frame) {
  const int range = kScopeRanges[view.rangeIndex];
  Frame(frame,
        "Traffic  " + std::to_string(range) + " nm  (^R range)  " +
            TargetCount(TargetsInRange(traffic, range)),
        false);
  const Rect area{frame.row + 1, frame.col + 1, frame.height - 2,
                  frame.width - 2};
  for (const ScopeText& t :
       ScopePicture(area, range, s.user.orientation.y, traffic)) {
    int attr = 0;
    switch (t.kind) {
      case ScopeText::Kind::kRing:
      case ScopeText::Kind::kRingLabel: attr = Colour(kPairRing); break;
      case ScopeText::Kind::kGap:
      case ScopeText::Kind::kLeader:
      case ScopeText::Kind::kDetail: attr = Colour(kPairTarget); break;
      case ScopeText::Kind::kCallsign:
      case ScopeText::Kind::kMark: attr = A_BOLD | Colour(kPairTarget); break;
      case ScopeText::Kind::kOwn: attr = A_BOLD; break;
    }
    Put(t.row, t.col, t.text, area.right() - t.col, attr);
  }
}

void DrawNotice(const HostState& s, const Rect& r) {
  std::string text;
  for (const Notice& n : s.notices)
    if (s.hostTime < n.shownAt + std::max(1.0f, n.seconds)) text = n.text;
  if (!text.empty()) Put(r.row, r.col + 1, "> " + text, r.width - 2, A_BOLD);
}

void DrawHelp(const Rect& r) {
  if (r.height <= 0) return;
  const int full = static_cast<int>(std::strlen(kHelpLines[0]));
  const char* const* lines = full <= r.width ? kHelpLines : kShortHelpLines;
  for (int i = 0; i < 2 && i < r.height; ++i) {
    Fill(r.row + i, r.col, r.width, A_REVERSE);
    Put(r.row + i, r.col, lines[i], r.width, A_REVERSE);
  }
}

void DrawAlert(const ViewState& view) {
  if (view.alerts.empty()) return;
  const std::string& text = view.alerts.front();
  const int width =
      std::min(COLS - 4, std::max(30, static_cast<int>(text.size()) + 4));
  const Rect box{LINES / 2 - 3, (COLS - width) / 2, 5, width};
  for (int i = 0; i < box.height; ++i) Fill(box.row + i, box.col, box.width, 0);
  Frame(box, "Alert", true);
  Put(box.row + 1, box.col + 2, text, box.width - 4, A_BOLD);
  Put(box.row + 3, box.col + 2, "Enter: OK", box.width - 4);
}

void DrawTooSmall() {
  const std::string lines[] = {
      "The terminal is " + std::to_string(COLS) + "x" + std::to_string(LINES) +
          ": the simulator needs at least " + std::to_string(kMinCols) + "x" +
          std::to_string(kMinRows) + ".",
      "Enlarge the window, or press Ctrl-Q to quit."};
  for (int i = 0; i < 2 && i < LINES; ++i)
    Put(i, 0, lines[i], COLS, i == 0 ? A_BOLD : 0);
}

}  // namespace sim::tui::draw
