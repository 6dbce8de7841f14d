#include "sim/tui/front_end.h"

#include <curses.h>
#include <langinfo.h>

#include <chrono>
#include <clocale>
#include <cstring>
#include <thread>

#include "core/fourcc.h"
#include "sim/tui/connection_light.h"
#include "sim/tui/controller.h"
#include "sim/tui/draw.h"
#include "sim/tui/flight.h"
#include "sim/tui/keys.h"
#include "sim/tui/layout.h"
#include "sim/tui/scope.h"

using talvix::FourCC;

namespace sim::tui {
namespace {

using Clock = std::chrono::steady_clock;
constexpr double kFrameSeconds = 1.0 / 30.0;
constexpr double kLongestFrame = 0.5;
constexpr double kDisconnectSeconds = 1.0;
constexpr double kNetworkSeconds = 0.5;

// As a person opening the plug-in from the simulator's menu bar.
void OpenFirstMenuItem(Simulator& sim) {
  auto first = sim.model().read([](const HostState& s) {
    for (const Menu& m : s.menus)
      if (!m.items.empty()) return std::make_pair(m.code, m.items.front().code);
    return std::make_pair(std::uint32_t{0}, std::uint32_t{0});
  });
  if (first.first) sim.menuSelect(first.first, first.second);
}

// Picks "Disconnect" in whichever open window offers it in a menu.
bool PickDisconnect(Simulator& sim) {
  const int disconnect = static_cast<int>(FourCC("disc"));
  auto where = sim.model().read([&](const HostState& s) {
    for (const auto& [code, w] : s.windows)
      for (const Control& c : w.controls)
        if (c.kind == ControlKind::kMenu && c.findItem(disconnect))
          return std::make_pair(code, c.code);
    return std::make_pair(std::uint32_t{0}, std::uint32_t{0});
  });
  if (!where.first) return false;
  return sim.windowEvent(where.first, where.second, FourCC("slct"), disconnect);
}

class Terminal {
 public:
  Terminal() {
    // The terminal speaks UTF-8: the locale's, or C.UTF-8 where the
    // environment names none, so that Latin-1 letters can be shown.
    std::setlocale(LC_ALL, "");
    if (std::strcmp(nl_langinfo(CODESET), "UTF-8") != 0)
      std::setlocale(LC_CTYPE, "C.UTF-8");
    initscr();
    raw();  // ^Q, ^C and ^S are keys here, not flow control or signals
    noecho();
    nonl();
    keypad(stdscr, TRUE);
    meta(stdscr, TRUE);  // all eight bits of each byte typed
    nodelay(stdscr, TRUE);
    set_escdelay(25);
  }
  ~Terminal() { endwin(); }
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;
};

}  // namespace

int RunFrontEnd(Simulator& sim, const volatile std::sig_atomic_t& stop) {
  Terminal terminal;
  ViewState view;
  KeyDecoder keys;
  ScopeTracker tracker;
  OpenFirstMenuItem(sim);
  view.flight = CurrentTargets(
      sim.model().read([](const HostState& s) { return s.user; }));
  HostState state = sim.model().snapshot();

  const auto period = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(kFrameSeconds));
  auto last = Clock::now();
  auto next = last + period;
  double checkNetwork = 0.0;  // seconds to the next look at the sockets
  double quitting = -1.0;  // seconds of disconnecting left; < 0 while running
  while (true) {
    for (int key = getch(); key != ERR && quitting < 0; key = getch()) {
      const KeyAction action = keys.feed(key);
      if (action.action == Action::kNone) continue;
      view.tooSmall = !ComputeScreenLayout(LINES, COLS, state.keyHelp).fits;
      Apply(action, sim, state, view);
      // The key may have opened or closed a window: the next key goes to
      // the window in front after it.
      state = sim.model().snapshot();
      SyncWindows(view, state);
      SelectChoices(sim, state, view);
      state = sim.model().snapshot();
    }
    if (quitting < 0 && (view.quit || stop)) {
      view.status = "Disconnecting...";
      quitting = PickDisconnect(sim) ? kDisconnectSeconds : 0.0;
    }
    const auto now = Clock::now();
    const double dt = std::min(
        kLongestFrame, std::chrono::duration<double>(now - last).count());
    last = now;
    sim.model().modify([&](HostState& s) {
      Fly(s.user, view.flight, dt);
      BoundRecords(s, view);
    });
    sim.idleOnce(static_cast<float>(dt));
    state = sim.model().snapshot();
    SyncWindows(view, state);
    SelectChoices(sim, state, view);
    state = sim.model().snapshot();
    if ((checkNetwork -= dt) <= 0) {
      view.connections = OwnConnections();
      checkNetwork = kNetworkSeconds;
    }
    if (view.redraw) {
      clearok(curscr, TRUE);
      view.redraw = false;
    }
    DrawScreen(state, tracker.update(state), view, sim.root());
    if (quitting >= 0) {
      quitting -= dt;
      if (quitting < 0) break;
    }
    std::this_thread::sleep_until(next);
    next += period;
    if (next < Clock::now()) next = Clock::now() + period;
  }
  return 0;
}

}  // namespace sim::tui
