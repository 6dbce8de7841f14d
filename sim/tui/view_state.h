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

struct ViewState {
  std::vector<std::uint32_t> order;  // open windows, in the order they opened
  std::uint32_t current = 0;         // the window in front; 0 when none
  std::map<std::uint32_t, std::uint32_t> focus;      // window -> control
  std::map<std::uint32_t, std::uint32_t> hostFocus;  // the plug-in's last
  std::map<std::uint32_t, int> raises;
  std::map<std::uint64_t, int> listTop;  // window<<32|list -> first row shown
  Dropdown dropdown;
  Prompt prompt;
  FlightTargets flight;
  int rangeIndex = 2;
  std::deque<std::string> alerts;  // shown one at a time, oldest first
  std::string status;              // a short answer to the last key
  bool quit = false;
  bool redraw = false;
};

}  // namespace sim::tui
