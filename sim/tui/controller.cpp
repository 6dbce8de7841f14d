#include "sim/tui/controller.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/fourcc.h"
#include "sim/geometry.h"
#include "sim/tui/layout.h"

using talvix::FourCC;

namespace sim::tui {
namespace {

constexpr std::size_t kMaxFieldText = 200;
constexpr int kPageRows = 10;
constexpr double kHeadingStep = 10.0, kAltitudeStep = 500.0, kSpeedStep = 10.0;
constexpr int kComLowKhz = 118000, kComHighKhz = 136975, kComStepKhz = 25;

// The next multiple of step below or above value (direction -1 or 1).
double Step(double value, double step, int direction) {
  const double steps = value / step;
  const double whole = direction > 0 ? std::floor(steps + 1e-6) + 1
                                     : std::ceil(steps - 1e-6) - 1;
  return whole * step;
}

template <typename T>
void KeepLast(std::vector<T>& records, std::size_t n) {
  if (records.size() > n)
    records.erase(records.begin(), records.end() - static_cast<long>(n));
}

const Window* CurrentWindow(const ViewState& view, const HostState& state) {
  auto w = state.windows.find(view.current);
  return w == state.windows.end() ? nullptr : &w->second;
}

const Control* FocusedControl(const ViewState& view, const HostState& state) {
  const Window* w = CurrentWindow(view, state);
  if (w == nullptr) return nullptr;
  auto f = view.focus.find(w->code);
  return f == view.focus.end() ? nullptr : w->find(f->second);
}

std::uint32_t DefaultFocus(const Window& w) {
  for (const Control& c : w.controls)
    if (c.kind == ControlKind::kText) return c.code;
  auto order = FocusOrder(w);
  return order.empty() ? 0 : order.front();
}

void MoveFocus(ViewState& view, const HostState& state, int step) {
  const Window* w = CurrentWindow(view, state);
  if (w == nullptr) return;
  auto order = FocusOrder(*w);
  if (order.empty()) return;
  auto at = std::find(order.begin(), order.end(), view.focus[w->code]);
  long i = at == order.end() ? 0 : at - order.begin();
  const long n = static_cast<long>(order.size());
  view.focus[w->code] =
      order[static_cast<std::size_t>(((i + step) % n + n) % n)];
}

void OpenPopup(ViewState& view, const Window& w, const Control& c) {
  Dropdown d;
  d.kind = Dropdown::Kind::kPopup;
  d.window = w.code;
  d.control = c.code;
  for (const PopupItem& item : c.items) {
    if (c.selected && item.id == *c.selected)
      d.highlighted = static_cast<int>(d.choices.size());
    d.choices.push_back({0, item.id, item.text});
  }
  if (!d.choices.empty()) view.dropdown = d;
}

void OpenWindowMenu(ViewState& view, const HostState& state, int n) {
  const Window* w = CurrentWindow(view, state);
  if (w == nullptr) return;
  for (const Control& c : w->controls) {
    if (c.kind != ControlKind::kMenu || n-- > 0) continue;
    Dropdown d;
    d.kind = Dropdown::Kind::kWindowMenu;
    d.window = w->code;
    d.control = c.code;
    for (const PopupItem& item : c.items)
      d.choices.push_back({0, item.id, item.text});
    if (!d.choices.empty()) view.dropdown = d;
    return;
  }
}

void OpenSimMenu(ViewState& view, const HostState& state) {
  Dropdown d;
  d.kind = Dropdown::Kind::kSimMenu;
  for (const Menu& m : state.menus)
    for (const MenuItem& item : m.items)
      d.choices.push_back(
          {m.code, static_cast<int>(item.code), m.title + ": " + item.text});
  if (!d.choices.empty()) view.dropdown = d;
}

void Choose(Simulator& sim, ViewState& view) {
  Dropdown d = view.dropdown;
  view.dropdown = {};
  if (d.highlighted < 0 || d.highlighted >= static_cast<int>(d.choices.size()))
    return;
  const Dropdown::Choice& choice =
      d.choices[static_cast<std::size_t>(d.highlighted)];
  switch (d.kind) {
    case Dropdown::Kind::kPopup:
      sim.model().modify([&](HostState& s) {
        auto w = s.windows.find(d.window);
        if (w == s.windows.end()) return;
        if (Control* c = w->second.find(d.control)) c->selected = choice.id;
      });
      sim.windowEvent(d.window, d.control, FourCC("slct"), choice.id);
      break;
    case Dropdown::Kind::kWindowMenu:
      sim.windowEvent(d.window, d.control, FourCC("slct"), choice.id);
      break;
    case Dropdown::Kind::kSimMenu:
      sim.menuSelect(choice.menu, static_cast<std::uint32_t>(choice.id));
      break;
    case Dropdown::Kind::kNone: break;
  }
}

void HandleDropdown(const KeyAction& key, Simulator& sim, ViewState& view) {
  Dropdown& d = view.dropdown;
  const int n = static_cast<int>(d.choices.size());
  switch (key.action) {
    case Action::kUp: d.highlighted = (d.highlighted + n - 1) % n; break;
    case Action::kDown: d.highlighted = (d.highlighted + 1) % n; break;
    case Action::kActivate:
    case Action::kToggle: Choose(sim, view); break;
    case Action::kEscape: view.dropdown = {}; break;
    default: break;
  }
}

void ApplyPrompt(Simulator& sim, ViewState& view) {
  Prompt p = view.prompt;
  view.prompt = {};
  if (p.kind == Prompt::Kind::kSquawk) {
    bool octal = p.text.size() == 4 &&
                 p.text.find_first_not_of("01234567") == std::string::npos;
    if (!octal) {
      view.status = "A squawk is four digits 0-7";
      return;
    }
    int code = std::atoi(p.text.c_str());
    sim.model().modify([&](HostState& s) { s.user.transponder.code = code; });
    view.status = "Squawk " + p.text;
  } else if (p.kind == Prompt::Kind::kCom) {
    double mhz = std::atof(p.text.c_str());
    int khz = static_cast<int>(std::lround(mhz * 1000.0));
    if (khz < kComLowKhz || khz > kComHighKhz) {
      view.status = "COM 1 tunes 118.000 to 136.975";
      return;
    }
    sim.model().modify(
        [&](HostState& s) { s.user.com1 = static_cast<float>(khz / 1000.0); });
    view.status = "COM 1 " + p.text;
  }
}

void HandlePrompt(const KeyAction& key, Simulator& sim, ViewState& view) {
  Prompt& p = view.prompt;
  const char* allowed =
      p.kind == Prompt::Kind::kSquawk ? "01234567" : "0123456789.";
  switch (key.action) {
    case Action::kType:
      if (p.text.size() < 7 && std::strchr(allowed, key.arg))
        p.text += static_cast<char>(key.arg);
      break;
    case Action::kBackspace:
      if (!p.text.empty()) p.text.pop_back();
      break;
    case Action::kActivate: ApplyPrompt(sim, view); break;
    case Action::kEscape: view.prompt = {}; break;
    default: break;
  }
}

void DialCom(Simulator& sim, int steps) {
  sim.model().modify([&](HostState& s) {
    int khz = static_cast<int>(std::lround(s.user.com1 * 1000.0));
    khz = (khz / kComStepKhz) * kComStepKhz + steps * kComStepKhz;
    const int span = kComHighKhz - kComLowKhz + kComStepKhz;
    khz = kComLowKhz + ((khz - kComLowKhz) % span + span) % span;
    s.user.com1 = static_cast<float>(khz / 1000.0);
  });
}

void CycleMode(Simulator& sim) {
  sim.model().modify([](HostState& s) {
    int& mode = s.user.transponder.mode;
    mode = mode == 0 ? 1 : mode == 1 ? 5 : mode == 5 ? 6 : 0;
  });
}

void MoveInList(Simulator& sim, const Window& w, const Control& c, int step) {
  const int rows = static_cast<int>(c.rows.size());
  if (rows == 0) return;
  int row = c.selectedRow < 0 ? (step < 0 ? rows : -1) : c.selectedRow;
  if (step >= kPageRows && row + step >= rows) {
    row = -1;  // paged past the end: the list follows its newest rows again
  } else {
    row = std::clamp(row + step, 0, rows - 1);
  }
  sim.model().listSelectRow(static_cast<int>(w.code), static_cast<int>(c.code),
                            row);
}

// Keys that go to the control with the focus.
void HandleControlKey(const KeyAction& key, Simulator& sim,
                      const HostState& state, ViewState& view) {
  const Window* w = CurrentWindow(view, state);
  const Control* c = FocusedControl(view, state);
  if (w == nullptr) return;
  // Paging scrolls the window's first list wherever the focus is.
  const bool paging =
      key.action == Action::kPageUp || key.action == Action::kPageDown;
  if (paging && (c == nullptr || c->kind != ControlKind::kList)) {
    for (const Control& list : w->controls)
      if (list.kind == ControlKind::kList) {
        c = &list;
        break;
      }
  }
  if (c == nullptr) return;
  const int window = static_cast<int>(w->code),
            code = static_cast<int>(c->code);
  switch (c->kind) {
    case ControlKind::kText:
      if (key.action == Action::kType || key.action == Action::kToggle) {
        if (c->text.size() < kMaxFieldText)
          sim.model().setText(window, code,
                              (c->text + static_cast<char>(key.arg)).c_str());
      } else if (key.action == Action::kBackspace && !c->text.empty()) {
        sim.model().setText(window, code,
                            c->text.substr(0, c->text.size() - 1).c_str());
      } else if (key.action == Action::kClearField) {
        sim.model().setText(window, code, "");
      } else if (key.action == Action::kActivate) {
        sim.windowEvent(w->code, c->code, FourCC("tent"));
      }
      break;
    case ControlKind::kButton:
      if (key.action == Action::kActivate || key.action == Action::kToggle)
        sim.windowEvent(w->code, c->code, FourCC("actn"));
      break;
    case ControlKind::kCheck:
      if (key.action == Action::kActivate || key.action == Action::kToggle) {
        const bool on = c->state == 0;
        sim.model().setButtonState(window, code, on ? 1 : 0);
        sim.windowEvent(w->code, c->code, on ? FourCC("chek") : FourCC("uchk"));
      }
      break;
    case ControlKind::kPopup:
      if (key.action == Action::kActivate || key.action == Action::kToggle ||
          key.action == Action::kDown)
        OpenPopup(view, *w, *c);
      break;
    case ControlKind::kList:
      if (key.action == Action::kUp) MoveInList(sim, *w, *c, -1);
      if (key.action == Action::kDown) MoveInList(sim, *w, *c, 1);
      if (key.action == Action::kPageUp) MoveInList(sim, *w, *c, -kPageRows);
      if (key.action == Action::kPageDown) MoveInList(sim, *w, *c, kPageRows);
      if (key.action == Action::kActivate && c->selectedRow >= 0)
        sim.windowEvent(w->code, c->code, FourCC("actn"), c->selectedRow);
      break;
    default: break;
  }
}

}  // namespace

std::vector<std::uint32_t> FocusOrder(const Window& window) {
  std::vector<std::uint32_t> order;
  for (const Control& c : window.controls)
    if (IsFocusable(c.kind)) order.push_back(c.code);
  return order;
}

void SyncWindows(ViewState& view, const HostState& state) {
  auto& order = view.order;
  order.erase(
      std::remove_if(order.begin(), order.end(),
                     [&](std::uint32_t w) { return !state.windows.count(w); }),
      order.end());
  // Of windows that open together, the first comes to the front.
  bool opened = false;
  for (const auto& [code, w] : state.windows) {
    if (std::find(order.begin(), order.end(), code) == order.end()) {
      order.push_back(code);
      if (!opened) view.current = code;
      opened = true;
      view.raises[code] = w.raises;
      view.hostFocus[code] = w.focus;
      view.focus[code] = w.focus ? w.focus : DefaultFocus(w);
      continue;
    }
    if (w.raises != view.raises[code]) {
      view.raises[code] = w.raises;
      view.current = code;
    }
    if (w.focus != view.hostFocus[code]) {
      view.hostFocus[code] = w.focus;
      if (w.focus) view.focus[code] = w.focus;
    }
  }
  if (!state.windows.count(view.current))
    view.current = order.empty() ? 0 : order.back();
  if (view.dropdown.kind == Dropdown::Kind::kPopup ||
      view.dropdown.kind == Dropdown::Kind::kWindowMenu) {
    if (!state.windows.count(view.dropdown.window)) view.dropdown = {};
  }
}

void Apply(const KeyAction& key, Simulator& sim, const HostState& state,
           ViewState& view) {
  view.status.clear();
  if (key.action == Action::kQuit) {
    view.quit = true;
    return;
  }
  if (key.action == Action::kResize || key.action == Action::kRedraw) {
    view.redraw = true;
    return;
  }
  if (!view.alerts.empty()) {
    if (key.action == Action::kActivate || key.action == Action::kEscape ||
        key.action == Action::kToggle)
      view.alerts.pop_front();
    return;
  }
  if (view.prompt.kind != Prompt::Kind::kNone) {
    HandlePrompt(key, sim, view);
    return;
  }
  if (view.dropdown.kind != Dropdown::Kind::kNone &&
      key.action != Action::kMenu && key.action != Action::kSimMenu) {
    HandleDropdown(key, sim, view);
    return;
  }
  FlightTargets& f = view.flight;
  switch (key.action) {
    case Action::kNextWindow:
      if (!view.order.empty()) {
        auto at = std::find(view.order.begin(), view.order.end(), view.current);
        view.current = (at == view.order.end() || at + 1 == view.order.end())
                           ? view.order.front()
                           : *(at + 1);
      }
      break;
    case Action::kMenu: OpenWindowMenu(view, state, key.arg); break;
    case Action::kSimMenu: OpenSimMenu(view, state); break;
    case Action::kNextControl: MoveFocus(view, state, 1); break;
    case Action::kPrevControl: MoveFocus(view, state, -1); break;
    case Action::kEscape:
      if (view.current) sim.userClose(view.current);
      break;
    case Action::kHeadingLeft:
    case Action::kHeadingRight: {
      const int way = key.action == Action::kHeadingRight ? 1 : -1;
      f.headingDeg = Normalise360(
          static_cast<float>(Step(f.headingDeg, kHeadingStep, way)));
      break;
    }
    case Action::kAltitudeDown:
    case Action::kAltitudeUp: {
      const int way = key.action == Action::kAltitudeUp ? 1 : -1;
      f.altitudeFt =
          std::clamp(Step(f.altitudeFt, kAltitudeStep, way), 0.0, 45000.0);
      break;
    }
    case Action::kSpeedDown:
    case Action::kSpeedUp: {
      const int way = key.action == Action::kSpeedUp ? 1 : -1;
      f.knots = std::clamp(Step(f.knots, kSpeedStep, way), 0.0, 500.0);
      break;
    }
    case Action::kComDown: DialCom(sim, -1); break;
    case Action::kComUp: DialCom(sim, 1); break;
    case Action::kComEntry: view.prompt = {Prompt::Kind::kCom, ""}; break;
    case Action::kSquawkEntry: view.prompt = {Prompt::Kind::kSquawk, ""}; break;
    case Action::kModeCycle: CycleMode(sim); break;
    case Action::kRangeCycle:
      view.rangeIndex =
          (view.rangeIndex + 1) % static_cast<int>(std::size(kScopeRanges));
      break;
    default: HandleControlKey(key, sim, state, view); break;
  }
}

void BoundRecords(HostState& state, ViewState& view) {
  for (std::string& alert : state.alerts)
    view.alerts.push_back(std::move(alert));
  state.alerts.clear();
  while (view.alerts.size() > 20) view.alerts.pop_front();
  KeepLast(state.notices, 32);
  KeepLast(state.sounds, 32);
  KeepLast(state.faults, 100);
  KeepLast(state.failedCreates, 32);
  KeepLast(state.libraries, 32);
}

}  // namespace sim::tui
