#include "sim/tui/draw.h"

#include <curses.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "core/fourcc.h"
#include "sim/file_lookup.h"
#include "sim/geometry.h"
#include "sim/tui/flight.h"
#include "sim/tui/keys.h"
#include "sim/tui/layout.h"
#include "sim/tui/picture.h"

namespace sim::tui {
namespace {

constexpr double kPi = 3.14159265358979323846;
enum Pair { kPairScope = 1, kPairTarget, kPairRing, kPairTitle };

int Colour(Pair pair) { return has_colors() ? COLOR_PAIR(pair) : 0; }

// Writes text clipped to width columns; bytes outside printable ASCII show
// as '?', so nothing the network sent can move the cursor.
void Put(int row, int col, const std::string& text, int width, int attr = 0) {
  if (width <= 0) return;
  std::string shown = text.substr(0, static_cast<std::size_t>(width));
  for (char& c : shown)
    if (static_cast<unsigned char>(c) < 32 ||
        static_cast<unsigned char>(c) > 126)
      c = '?';
  attron(attr);
  mvaddnstr(row, col, shown.c_str(), width);
  attroff(attr);
}

void Fill(int row, int col, int width, int attr) {
  Put(row, col, std::string(static_cast<std::size_t>(std::max(0, width)), ' '),
      width, attr);
}

// Frames in plain characters, so that any terminal and any screen capture
// shows them alike.
void Frame(const Rect& r, const std::string& title, bool active) {
  if (r.height < 2 || r.width < 2) return;
  const int attr = active ? A_BOLD : 0;
  const std::string edge =
      "+" + std::string(static_cast<std::size_t>(r.width - 2), '-') + "+";
  Put(r.row, r.col, edge, r.width, attr);
  Put(r.bottom() - 1, r.col, edge, r.width, attr);
  for (int row = r.row + 1; row < r.bottom() - 1; ++row) {
    Put(row, r.col, "|", 1, attr);
    Put(row, r.right() - 1, "|", 1, attr);
  }
  if (!title.empty())
    Put(r.row, r.col + 2, " " + title + " ", r.width - 4, attr);
}

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

std::string WindowName(const Window& w) {
  return w.title.empty() ? talvix::FourCCText(w.code) : w.title;
}

// --- the plug-in's windows

struct Cursor {
  int row = -1, col = -1;
};

void DrawList(const Window& w, const Control& c, const Rect& r, bool focused,
              ViewState& view) {
  // Columns share the width in proportion to the widths the plug-in gave.
  std::vector<int> widths;
  int total = 0;
  for (const ListColumn& col : c.columns) total += std::max(1, col.width);
  int left = r.width;
  for (std::size_t i = 0; i < c.columns.size(); ++i) {
    int width = i + 1 == c.columns.size()
                    ? left
                    : std::max(4, r.width * std::max(1, c.columns[i].width) /
                                      std::max(1, total));
    width = std::min(width, left);
    widths.push_back(width);
    left -= width;
  }
  if (widths.empty()) widths.push_back(r.width);
  bool titles = false;
  for (const ListColumn& col : c.columns) titles |= !col.title.empty();
  int row = r.row;
  if (titles && r.height > 1) {
    int col = r.col;
    Fill(row, r.col, r.width, A_UNDERLINE | (focused ? A_BOLD : 0));
    for (std::size_t i = 0; i < c.columns.size(); ++i) {
      Put(row, col, c.columns[i].title, widths[i] - 1,
          A_UNDERLINE | (focused ? A_BOLD : 0));
      col += widths[i];
    }
    ++row;
  }
  const int visible = r.bottom() - row;
  const int rows = static_cast<int>(c.rows.size());
  const std::uint64_t key = (std::uint64_t{w.code} << 32) | c.code;
  int top = std::max(0, rows - visible);  // the newest rows, by default
  if (c.selectedRow >= 0) {
    top = view.listTop.count(key) ? view.listTop[key] : 0;
    if (c.selectedRow < top) top = c.selectedRow;
    if (c.selectedRow >= top + visible) top = c.selectedRow - visible + 1;
  }
  top = std::clamp(top, 0, std::max(0, rows - visible));
  view.listTop[key] = top;
  for (int i = 0; i < visible && top + i < rows; ++i) {
    const auto& cells = c.rows[static_cast<std::size_t>(top + i)];
    const bool selected = top + i == c.selectedRow;
    const int attr = selected ? (focused ? A_REVERSE : A_BOLD) : 0;
    if (selected) Fill(row + i, r.col, r.width, attr);
    int col = r.col;
    for (std::size_t k = 0; k < widths.size() && k < cells.size(); ++k) {
      Put(row + i, col, cells[k], widths[k] - (k + 1 < widths.size() ? 1 : 0),
          attr);
      col += widths[k];
    }
  }
  if (focused && rows == 0) Put(row, r.col, "(empty)", r.width, A_DIM);
}

void DrawPicture(const Control& c, const Rect& r, const std::string& root) {
  static std::map<std::string, Bitmap> cache;
  if (c.picture.empty()) return;
  auto found = cache.find(c.picture);
  if (found == cache.end()) {
    Bitmap bitmap;
    std::string path = FindFileNoCase(root, c.picture);
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    if (path.empty() || !ParsePbm(bytes.str(), &bitmap)) bitmap = {};
    found = cache.emplace(c.picture, bitmap).first;
  }
  const Bitmap& b = found->second;
  if (b.width == 0) {
    Put(r.row, r.col, "[picture " + c.picture + "]", r.width);
    return;
  }
  // Each cell shows a block of pixels, inked when most of it is.
  const int stepX = std::max(1, (b.width + r.width - 1) / r.width);
  const int stepY = std::max(1, (b.height + r.height - 1) / r.height);
  for (int y = 0; y * stepY < b.height && y < r.height; ++y) {
    std::string line;
    for (int x = 0; x * stepX < b.width && x < r.width; ++x) {
      int ink = 0, all = 0;
      for (int dy = 0; dy < stepY && y * stepY + dy < b.height; ++dy)
        for (int dx = 0; dx < stepX && x * stepX + dx < b.width; ++dx, ++all)
          ink += b.at(x * stepX + dx, y * stepY + dy);
      line += ink * 2 > all ? '#' : ' ';
    }
    Put(r.row + y, r.col, line, r.width);
  }
}

Cursor DrawControl(const Window& w, const Control& c, const Rect& r,
                   int captionWidth, bool focused, ViewState& view,
                   const std::string& root) {
  Cursor cursor;
  const int mark = focused ? A_REVERSE : 0;
  const std::string caption = ControlCaption(c);
  switch (c.kind) {
    case ControlKind::kText: {
      Put(r.row, r.col, caption + ":", r.width, focused ? A_BOLD : 0);
      const int at =
          r.col + std::max(captionWidth, static_cast<int>(caption.size())) + 2;
      const int width = r.right() - at;
      if (width <= 0) break;
      std::string text = c.password ? std::string(c.text.size(), '*') : c.text;
      if (static_cast<int>(text.size()) >= width)
        text = text.substr(text.size() - static_cast<std::size_t>(width - 1));
      Fill(r.row, at, width, A_UNDERLINE | (focused ? A_BOLD : 0));
      Put(r.row, at, text, width, A_UNDERLINE | (focused ? A_BOLD : 0));
      if (focused) cursor = {r.row, at + static_cast<int>(text.size())};
      break;
    }
    case ControlKind::kLabel: Put(r.row, r.col, c.text, r.width, A_BOLD); break;
    case ControlKind::kButton:
      Put(r.row, r.col, "[ " + caption + " ]", r.width, mark | A_BOLD);
      break;
    case ControlKind::kCheck:
      Put(r.row, r.col, std::string(c.state ? "[x] " : "[ ] ") + caption,
          r.width, mark);
      break;
    case ControlKind::kPopup: {
      const PopupItem* item = c.selected ? c.findItem(*c.selected) : nullptr;
      Put(r.row, r.col, caption + ":", r.width, focused ? A_BOLD : 0);
      const int at =
          r.col + std::max(captionWidth, static_cast<int>(caption.size())) + 2;
      std::string shown = "<" + (item ? item->text : std::string()) + ">";
      Put(r.row, at, shown, r.right() - at, mark);
      break;
    }
    case ControlKind::kList: DrawList(w, c, r, focused, view); break;
    case ControlKind::kPicture: DrawPicture(c, r, root); break;
    default: break;
  }
  return cursor;
}

std::string MenuLine(const Window& w) {
  std::string line;
  int n = 1;
  for (const Control& c : w.controls) {
    if (c.kind != ControlKind::kMenu) continue;
    line += "F" + std::to_string(n++) + " " + ControlCaption(c).substr(0, 20) +
            "   ";
    if (n > 3) break;
  }
  return line;
}

Cursor DrawWindow(const HostState& state, ViewState& view, const Rect& frame,
                  const std::string& root) {
  auto found = state.windows.find(view.current);
  if (found == state.windows.end()) {
    Frame(frame, "no window", false);
    Put(frame.row + 2, frame.col + 2,
        "The plug-in shows no window: F4 opens the simulator menu.",
        frame.width - 4, A_DIM);
    return {};
  }
  const Window& w = found->second;
  Frame(frame, WindowName(w) + (w.minimised ? " (minimised)" : ""), true);
  Put(frame.row + 1, frame.col + 1, MenuLine(w), frame.width - 2, A_BOLD);
  const Rect content = ContentArea(frame);
  const std::uint32_t focus = view.focus.count(w.code) ? view.focus[w.code] : 0;
  if (const Control* focused = w.find(focus)) {
    const std::string where = "[Tab: " + ControlCaption(*focused) + "]";
    const int at = frame.right() - 2 - static_cast<int>(where.size());
    if (at > frame.col + 40)
      Put(frame.row + 1, at, where, frame.right() - 1 - at);
  }
  Cursor cursor;
  for (const ControlPlace& place :
       LayoutControls(w, content.height, content.width)) {
    const Control& c = w.controls[place.index];
    Rect r = place.rect;
    r.row += content.row;
    r.col += content.col;
    Cursor here =
        DrawControl(w, c, r, place.captionWidth, c.code == focus, view, root);
    if (here.row >= 0) cursor = here;
  }
  return cursor;
}

// --- the simulator's own parts

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

void DrawPanel(const HostState& s, const ViewState& view, const Rect& r) {
  Frame(r, "Simulator", false);
  const UserAircraft& u = s.user;
  const double heading =
      Normalise360(static_cast<float>(u.orientation.y * 180.0 / kPi));
  const double knots = u.speed / kFeetPerSecondPerKnot;
  const FlightTargets& f = view.flight;
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
  Put(r.row + 4, col,
      Format("Heading  %6.0f      set %5.0f   bank %3.0f", heading,
             f.headingDeg, u.orientation.z * 180.0 / kPi),
      width);
  char xpdr[64];
  std::snprintf(xpdr, sizeof xpdr, "COM 1  %7.3f     XPDR %04d %s", u.com1,
                u.transponder.code, ModeName(u.transponder.mode));
  Put(r.row + 5, col, xpdr, width, A_BOLD);
  if (view.prompt.kind != Prompt::Kind::kNone) {
    const char* what =
        view.prompt.kind == Prompt::Kind::kSquawk ? "Squawk" : "COM 1 MHz";
    Put(r.row + 6, col,
        std::string(what) + ": " + view.prompt.text +
            "_  (Enter sets, Esc cancels)",
        width, A_REVERSE);
  } else if (!view.status.empty()) {
    Put(r.row + 6, col, view.status, width, A_BOLD);
  }
}

void Plot(const Rect& area, double range, double east, double north,
          chtype ch) {
  int row = 0, col = 0;
  if (ScopeCell(area, range, east, north, &row, &col)) mvaddch(row, col, ch);
}

void DrawScope(const HostState& s, const std::vector<ScopeTarget>& traffic,
               const ViewState& view, const Rect& frame) {
  const int range = kScopeRanges[view.rangeIndex];
  Frame(frame,
        "Traffic  " + std::to_string(range) + " nm  (^R range)  " +
            std::to_string(traffic.size()) + " targets",
        false);
  const Rect area{frame.row + 1, frame.col + 1, frame.height - 2,
                  frame.width - 2};
  if (area.height < 3 || area.width < 6) return;
  attron(Colour(kPairRing));
  for (double ring : {range / 2.0, static_cast<double>(range)}) {
    for (int a = 0; a < 360; a += 3) {
      const double rad = a * kPi / 180.0;
      Plot(area, range, ring * std::sin(rad), ring * std::cos(rad), '.');
    }
    int row = 0, col = 0;
    if (ScopeCell(area, range, 0, ring, &row, &col)) {
      char label[16];
      std::snprintf(label, sizeof label, "%g nm", ring);
      Put(row, col + 1, label, area.right() - col - 1, Colour(kPairRing));
    }
  }
  attroff(Colour(kPairRing));
  // The user's aircraft in the middle, a tick ahead of it along its heading.
  const double heading = s.user.orientation.y;
  const double tick = 1.5 / std::max(0.001, RowsPerMile(area, range));
  Plot(area, range, tick * std::sin(heading), tick * std::cos(heading),
       '\'' | A_BOLD);
  Plot(area, range, 0, 0, '+' | A_BOLD);
  // Symbols first, then each label where it covers no symbol or label.
  std::vector<std::string> taken(
      static_cast<std::size_t>(area.height),
      std::string(static_cast<std::size_t>(area.width), ' '));
  auto claim = [&](int row, int col, int width, bool check) {
    for (int c = col; c < col + width; ++c) {
      if (!area.contains(row, c)) return false;
      char& cell = taken[static_cast<std::size_t>(row - area.row)]
                        [static_cast<std::size_t>(c - area.col)];
      if (check && cell != ' ') return false;
      if (!check) cell = 'x';
    }
    return true;
  };
  std::vector<std::pair<int, int>> cells(traffic.size(), {-1, -1});
  for (std::size_t i = 0; i < traffic.size(); ++i) {
    int row = 0, col = 0;
    if (!ScopeCell(area, range, traffic[i].eastNm, traffic[i].northNm, &row,
                   &col))
      continue;
    cells[i] = {row, col};
    claim(row, col, 1, false);
    mvaddch(row, col, '*' | A_BOLD | Colour(kPairTarget));
  }
  for (std::size_t i = 0; i < traffic.size(); ++i) {
    const auto [row, col] = cells[i];
    if (row < 0) continue;
    const ScopeTarget& t = traffic[i];
    char second[32];
    std::snprintf(second, sizeof second, "%s %03.0f", t.type.c_str(),
                  std::max(0.0, t.altitudeFt) / 100.0);
    const int width =
        static_cast<int>(std::max(t.callsign.size(), std::strlen(second)));
    const std::pair<int, int> places[] = {
        {row, col + 2},     {row, col - 1 - width},
        {row - 1, col + 2}, {row - 1, col - 1 - width},
        {row + 1, col + 2}, {row + 1, col - 1 - width}};
    for (const auto& [r, c] : places) {
      if (!claim(r, c - 1, width + 1, true) ||
          !claim(r + 1, c - 1, width + 1, true))
        continue;
      claim(r, c - 1, width + 1, false);
      claim(r + 1, c - 1, width + 1, false);
      Put(r, c, t.callsign, width, A_BOLD | Colour(kPairTarget));
      Put(r + 1, c, second, width, Colour(kPairTarget));
      break;
    }
  }
}

void DrawNotice(const HostState& s, const Rect& r) {
  std::string text;
  for (const Notice& n : s.notices)
    if (s.hostTime < n.shownAt + std::max(1.0f, n.seconds)) text = n.text;
  if (!text.empty()) Put(r.row, r.col + 1, "> " + text, r.width - 2, A_BOLD);
}

void DrawHelp(const Rect& r) {
  for (int i = 0; i < 2 && i < r.height; ++i) {
    Fill(r.row + i, r.col, r.width, A_REVERSE);
    Put(r.row + i, r.col, kHelpLines[i], r.width, A_REVERSE);
  }
}

void DrawDropdown(const HostState& s, const ViewState& view,
                  const ScreenLayout& l) {
  const Dropdown& d = view.dropdown;
  if (d.kind == Dropdown::Kind::kNone) return;
  int row = l.menuBar.row + 1, col = l.menuBar.col + 2;
  if (d.kind != Dropdown::Kind::kSimMenu) {
    auto w = s.windows.find(d.window);
    if (w == s.windows.end()) return;
    const Rect content = ContentArea(l.window);
    if (d.kind == Dropdown::Kind::kWindowMenu) {
      row = l.window.row + 2;
      for (const Control& c : w->second.controls) {
        if (c.code == d.control) break;
        if (c.kind == ControlKind::kMenu)
          col += 6 + static_cast<int>(ControlCaption(c).substr(0, 20).size());
      }
      col = l.window.col + 1 + (col - l.menuBar.col - 2);
    } else {
      for (const ControlPlace& p :
           LayoutControls(w->second, content.height, content.width))
        if (w->second.controls[p.index].code == d.control) {
          row = content.row + p.rect.row + 1;
          col = content.col + p.rect.col;
        }
    }
  }
  int width = 12;
  for (const auto& c : d.choices)
    width = std::max(width, static_cast<int>(c.text.size()) + 4);
  const int shown =
      std::min(static_cast<int>(d.choices.size()), std::max(1, LINES - 6));
  // Opens upwards when there is no room below.
  if (row + shown + 2 > LINES - 2) row = std::max(1, row - shown - 3);
  width = std::min(width, COLS - col);
  if (width < 6) return;
  const Rect box{row, col, shown + 2, width};
  for (int i = 0; i < box.height; ++i) Fill(box.row + i, box.col, box.width, 0);
  Frame(box, "", true);
  const int first = std::max(0, d.highlighted - shown + 1);
  for (int i = 0; i < shown; ++i) {
    const int k = first + i;
    if (k >= static_cast<int>(d.choices.size())) break;
    const int attr = k == d.highlighted ? A_REVERSE : 0;
    Fill(box.row + 1 + i, box.col + 1, box.width - 2, attr);
    Put(box.row + 1 + i, box.col + 2,
        d.choices[static_cast<std::size_t>(k)].text, box.width - 4, attr);
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

}  // namespace

void DrawScreen(const HostState& state, const std::vector<ScopeTarget>& traffic,
                ViewState& view, const std::string& root) {
  static bool coloured = false;
  if (!coloured && has_colors()) {
    start_color();
    use_default_colors();
    init_pair(kPairScope, COLOR_GREEN, -1);
    init_pair(kPairTarget, COLOR_GREEN, -1);
    init_pair(kPairRing, COLOR_BLUE, -1);
    init_pair(kPairTitle, COLOR_WHITE, COLOR_BLUE);
    coloured = true;
  }
  erase();
  const ScreenLayout l = ComputeScreenLayout(LINES, COLS);
  if (!l.fits) {
    DrawTooSmall();
    curs_set(0);
    refresh();
    return;
  }
  DrawMenuBar(state, view, l.menuBar);
  Cursor cursor = DrawWindow(state, view, l.window, root);
  DrawPanel(state, view, l.panel);
  DrawScope(state, traffic, view, l.scope);
  DrawNotice(state, l.notice);
  DrawHelp(l.help);
  DrawDropdown(state, view, l);
  DrawAlert(view);
  const bool showCursor =
      cursor.row >= 0 && view.dropdown.kind == Dropdown::Kind::kNone &&
      view.alerts.empty() && view.prompt.kind == Prompt::Kind::kNone;
  curs_set(showCursor ? 1 : 0);
  if (showCursor) move(cursor.row, cursor.col);
  refresh();
}

}  // namespace sim::tui
