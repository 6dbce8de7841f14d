// What the front end remembers between frames beyond the host's state:
// which window is in front, which control has the focus, what is open on
// top of it, and what the person asked the aircraft to do.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "sim/host_model.h"
#include "sim/tui/flight.h"

namespace sim::tui {

// A list of choices over the screen: a popup's items, a window menu or the
// simulator's menu bar.
struct Dropdown {
  enum class Kind { kNone, kPopup, kWindowMenu, kSimMenu };
  struct Choice {
    std::uint32_t menu = 0;  // the simulator menu (kSimMenu only)
    int id = 0;
    std::string text;
  };
  Kind kind = Kind::kNone;
  std::uint32_t window = 0;
  std::uint32_t control = 0;
  std::vector<Choice> choices;
  int highlighted = 0;
};

// A value typed on the panel.
struct Prompt {
  enum class Kind { kNone, kSquawk, kCom };
  Kind kind = Kind::kNone;
  std::string text;
};

constexpr int kScopeRanges[] = {5, 10, 20, 40, 80, 160};

// A list as drawn: rows wrap onto as many screen lines as they need, and
// the list scrolls by screen lines.
struct ListView {
  int top = 0;                // the first screen line shown
  bool pinned = false;        // scrolled by the person: new rows do not move it
  int visible = 0;            // screen lines shown, at the last drawing
  int lines = 0;              // screen lines of all rows, at the last drawing
  int shownSelected = -1;     // the selected row at the last drawing
  std::vector<int> lineRows;  // the row of each screen line, last drawing
};

inline std::uint64_t ListKey(std::uint32_t window, std::uint32_t control) {
  return (std::uint64_t{window} << 32) | control;
}

struct ViewState {
  std::vector<std::uint32_t> order;  // open windows, in the order they opened
  std::uint32_t current = 0;         // the window in front; 0 when none
  std::map<std::uint32_t, std::uint32_t> focus;  // window -> control
  std::map<std::uint32_t, int> focusSets;  // the plug-in's focus calls seen
  std::map<std::uint32_t, int> raises;
  std::map<std::uint64_t, ListView> lists;  // by ListKey
  // The person's choice in a list with an Enter button, by ListKey: the
  // cells of the row, found again when the window opens the next time.
  std::map<std::uint64_t, std::vector<std::string>> chosenRows;
  std::map<std::uint64_t, std::size_t> cursors;  // text field -> cursor
  Dropdown dropdown;
  Prompt prompt;
  FlightTargets flight;
  int rangeIndex = 2;
  std::vector<std::string> connections;  // the process's TCP peers
  std::deque<std::string> alerts;        // shown one at a time, oldest first
  std::string status;                    // a short answer to the last key
  bool tooSmall = false;                 // the terminal cannot show the windows
  bool quit = false;
  bool redraw = false;
};

}  // namespace sim::tui
