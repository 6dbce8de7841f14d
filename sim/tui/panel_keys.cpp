#include "sim/tui/panel_keys.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <iterator>

#include "sim/geometry.h"

namespace sim::tui {
namespace {

constexpr double kHeadingStep = 10.0, kAltitudeStep = 500.0, kSpeedStep = 10.0;
constexpr int kComLowKhz = 118000, kComHighKhz = 136975, kComStepKhz = 25;

// The next multiple of step below or above value (direction -1 or 1).
double Step(double value, double step, int direction) {
  const double steps = value / step;
  const double whole = direction > 0 ? std::floor(steps + 1e-6) + 1
                                     : std::ceil(steps - 1e-6) - 1;
  return whole * step;
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

}  // namespace

void HandlePrompt(const KeyAction& key, Simulator& sim, ViewState& view) {
  Prompt& p = view.prompt;
  const char* allowed =
      p.kind == Prompt::Kind::kSquawk ? "01234567" : "0123456789.";
  // A squawk has four digits, a frequency such as 122.850 seven characters.
  const std::size_t longest = p.kind == Prompt::Kind::kSquawk ? 4 : 7;
  switch (key.action) {
    case Action::kType:
      if (p.text.size() < longest && key.arg > 0 &&
          std::strchr(allowed, key.arg))
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

std::string PromptLine(const Prompt& prompt) {
  const char* what = prompt.kind == Prompt::Kind::kSquawk ? "Squawk" : "COM 1";
  return std::string(what) + ": " + prompt.text + "_  Enter sets, Esc cancels";
}

bool ApplyPanelKey(const KeyAction& key, Simulator& sim, ViewState& view) {
  FlightTargets& f = view.flight;
  switch (key.action) {
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
    default: return false;
  }
  return true;
}

}  // namespace sim::tui
