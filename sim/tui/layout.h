// Where each part of the terminal front end goes: the screen's regions and
// the controls of a window inside its region. No terminal is needed here.
#pragma once

#include <cstddef>
#include <vector>

#include "sim/model_types.h"

namespace sim::tui {

struct Rect {
  int row = 0;
  int col = 0;
  int height = 0;
  int width = 0;

  int bottom() const { return row + height; }  // one past the last row
  int right() const { return col + width; }    // one past the last column
  bool contains(int r, int c) const {
    return r >= row && r < bottom() && c >= col && c < right();
  }
};

// The smallest terminal the layout needs.
constexpr int kMinRows = 30;
constexpr int kMinCols = 100;
// The simulator's panel: its frame and seven lines.
constexpr int kPanelRows = 9;
constexpr int kPanelWidth = 44;

struct ScreenLayout {
  bool fits = false;  // false: only a "too small" message is drawn
  Rect menuBar;       // the simulator's menu bar and the window tabs
  Rect window;        // the current plug-in window, framed
  Rect panel;         // the simulator's own panel
  Rect scope;         // the traffic scope, framed
  Rect notice;        // screen notices
  Rect help;          // the key help
};

// keyHelp: the two lines of key help at the bottom are shown (the host's
// help toggles hide and show them).
ScreenLayout ComputeScreenLayout(int rows, int cols, bool keyHelp = true);

// One control's place inside a window's content area.
struct ControlPlace {
  std::size_t index = 0;  // in Window::controls
  Rect rect;              // relative to the content area
  int captionWidth = 0;   // fields of a form line up after this many columns
};

// The content area of a framed region (inside the border, below the menu
// line of the window).
Rect ContentArea(const Rect& frame);

// Lays out the window's controls: window menus go on the menu line and get
// no place; lists and pictures take whole rows and share the height left
// over; the other controls flow left to right, a control with width 0 in
// its file taking a row of its own. A window with neither list nor picture
// is a form: a control a row, fields lined up, buttons side by side.
// Controls that do not fit are left out.
std::vector<ControlPlace> LayoutControls(const Window& window, int height,
                                         int width);

// The text shown beside a control: its caption, or its text for buttons,
// checks and menus that have none, a list's one column title, or a plain
// name of its kind; never its code.
std::string ControlCaption(const Control& control);

// What a label shows: its text after its caption, if it has one, so that
// the two always share a line ("XPDR Mode C").
std::string LabelText(const Control& control);

// True for the kinds that Tab stops at.
bool IsFocusable(ControlKind kind);

}  // namespace sim::tui
