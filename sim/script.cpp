#include "sim/script.h"

#include <chrono>
#include <cmath>
#include <fstream>
#include <sstream>
#include <thread>

#include "core/fourcc.h"
#include "sim/script_args.h"
#include "sim/script_checks.h"
#include "sim/sim.h"

using talvix::FourCC;
using talvix::FourCCText;

namespace sim {
namespace {

constexpr double kPi = 3.14159265358979323846;
double Radians(double degrees) { return degrees * kPi / 180.0; }

bool IsPseudoControl(std::uint32_t code) {
  for (const char* c : {"MINI", "size", "clos", "actn", "move", "foci", "!foc"})
    if (code == talvix::FourCCFromText(c)) return true;
  return false;
}

// The control must be there, in an open window, and of that kind (any kind
// when kind is null); pseudo-controls of a window pass when allowed.
void Require(Simulator& sim, std::uint32_t window, std::uint32_t control,
             const ControlKind* kind, bool pseudo = false) {
  std::string why = sim.model().read([&](const HostState& s) -> std::string {
    auto w = s.windows.find(window);
    if (w == s.windows.end())
      return "window " + FourCCText(window) + " is not open";
    const Control* c = w->second.find(control);
    if (c == nullptr)
      return pseudo && IsPseudoControl(control)
                 ? ""
                 : "window " + FourCCText(window) + " has no control " +
                       FourCCText(control);
    if (kind && c->kind != *kind)
      return FourCCText(window) + "/" + FourCCText(control) + " is a " +
             ControlKindName(c->kind) + ", not a " + ControlKindName(*kind);
    return "";
  });
  if (!why.empty()) throw ScriptError(why);
}

void Event(Simulator& sim, std::uint32_t window, std::uint32_t control,
           const char (&event)[5], int extra = 0) {
  if (!sim.windowEvent(window, control, FourCC(event), extra))
    throw ScriptError("no window callback to report the event to");
}

PlanNode ParsePlanNode(const std::string& text) {
  std::vector<std::string> parts;
  std::stringstream in(text);
  std::string part;
  while (std::getline(in, part, ':')) parts.push_back(part);
  if (parts.size() != 4)
    throw ScriptError("a plan node is KIND:NAME:SPEED:ALT, not " + text);
  PlanNode node;
  try {
    node.kind = std::stoi(parts[0]);
    node.name = parts[1];
    node.speed = std::stof(parts[2]);
    node.altitude = std::stof(parts[3]);
  } catch (const std::exception&) {
    throw ScriptError("bad plan node: " + text);
  }
  return node;
}

void SetUserAircraft(Simulator& sim, const ScriptArgs& a) {
  double lat = a.number(1), lon = a.number(2), alt = a.number(3);
  if (std::fabs(lat) > 90 || std::fabs(lon) > 360)
    throw ScriptError("position out of range");
  bool speed = a.has(4), attitude = a.has(5);
  double fps = speed ? a.number(4) : 0;
  double pitch = attitude ? a.number(5) : 0, bank = attitude ? a.number(6) : 0,
         heading = attitude ? a.number(7) : 0;
  sim.model().modify([&](HostState& s) {
    double east = lon < 0 ? lon + 360.0 : lon;  // the host counts 0..360 east
    s.user.position = {lat * 3600.0, east * 3600.0, alt};
    if (speed) s.user.speed = static_cast<float>(fps);
    if (attitude)
      s.user.orientation = {Radians(pitch), Radians(heading), Radians(bank)};
  });
}

// Runs real-time idle calls in short slices until found() or the time is
// up; true when found.
template <typename Found>
bool WaitFor(Simulator& sim, double seconds, Found found) {
  auto end = std::chrono::steady_clock::now() +
             std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                 std::chrono::duration<double>(seconds));
  while (!found()) {
    if (std::chrono::steady_clock::now() >= end) return false;
    sim.idle(0.1);
  }
  return true;
}

// Runs real-time idle calls and prints what a person at the simulator would
// see: every new history line and screen notice, as it appears.
void Watch(Simulator& sim, std::ostream& out, double seconds) {
  HostModel& m = sim.model();
  std::vector<std::string> shown = HistoryRows(m);
  std::size_t noticesShown =
      m.read([](const HostState& s) { return s.notices.size(); });
  auto end = std::chrono::steady_clock::now() +
             std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                 std::chrono::duration<double>(seconds));
  while (std::chrono::steady_clock::now() < end) {
    sim.idle(0.1);
    std::vector<std::string> rows = HistoryRows(m);
    if (rows.size() > shown.size()) {
      for (std::size_t i = shown.size(); i < rows.size(); ++i)
        if (!rows[i].empty()) out << "history | " << rows[i] << '\n';
    } else if (!rows.empty() &&
               (shown.empty() || rows.back() != shown.back())) {
      out << "history | " << rows.back() << '\n';
    }
    shown = rows;
    std::vector<std::string> notices = m.read([&](const HostState& s) {
      std::vector<std::string> texts;
      for (std::size_t i = noticesShown; i < s.notices.size(); ++i)
        texts.push_back(s.notices[i].text);
      return texts;
    });
    noticesShown += notices.size();
    for (const std::string& text : notices) out << "screen  | " << text << '\n';
    out << std::flush;
  }
}

void Run(Simulator& sim, std::ostream& out, const ScriptArgs& a) {
  const std::string& c = a.word(0);
  HostModel& m = sim.model();
  static const ControlKind kPopup = ControlKind::kPopup,
                           kList = ControlKind::kList,
                           kCheck = ControlKind::kCheck,
                           kMenu = ControlKind::kMenu;
  if (c == "idle") {
    sim.idle(a.number(1));
  } else if (c == "frames") {
    sim.frames(a.integer(1), static_cast<float>(a.number(2)));
  } else if (c == "sleep") {
    std::this_thread::sleep_for(std::chrono::duration<double>(a.number(1)));
  } else if (c == "echo") {
    out << a.rest(1) << '\n' << std::flush;
  } else if (c == "key") {
    if (!sim.key(a.integer(1), a.integer(2)))
      throw ScriptError("the plug-in registered no key callback");
  } else if (c == "menu") {
    if (!sim.menuSelect(a.code(1), a.code(2)))
      throw ScriptError("no menu item " + a.word(1) + " " + a.word(2) +
                        " (or no window callback)");
  } else if (c == "cleanup") {
    if (!sim.cleanUp())
      throw ScriptError("the plug-in registered no clean-up callback");
  } else if (c == "click" || c == "value") {
    Require(sim, a.code(1), a.code(2), nullptr, true);
    if (c == "click") Event(sim, a.code(1), a.code(2), "actn");
    if (c == "value") Event(sim, a.code(1), a.code(2), "valu");
  } else if (c == "pick") {
    Require(sim, a.code(1), a.code(2), &kMenu);
    int item = a.itemId(3);
    bool known = m.read([&](const HostState& s) {
      return s.windows.at(a.code(1)).find(a.code(2))->findItem(item) != nullptr;
    });
    if (!known)
      throw ScriptError("menu " + a.word(2) + " has no item " + a.word(3));
    Event(sim, a.code(1), a.code(2), "slct", item);
  } else if (c == "select") {
    Require(sim, a.code(1), a.code(2), &kPopup);
    int id = a.itemId(3);
    bool known = m.modify([&](HostState& s) {
      Control* p = s.windows.at(a.code(1)).find(a.code(2));
      if (!p->findItem(id)) return false;
      p->selected = id;
      return true;
    });
    if (!known)
      throw ScriptError("popup " + a.word(2) + " has no item " + a.word(3));
    Event(sim, a.code(1), a.code(2), "slct", id);
  } else if (c == "additem") {
    Require(sim, a.code(1), a.code(2), &kPopup);
    m.addPopupItem(static_cast<int>(a.code(1)), static_cast<int>(a.code(2)),
                   a.itemId(3), a.rest(4).c_str());
  } else if (c == "row") {
    Require(sim, a.code(1), a.code(2), &kList);
    int row = a.integer(3);
    if (row < 0 || row >= m.listRowCount(int(a.code(1)), int(a.code(2))))
      throw ScriptError("list " + a.word(2) + " has no row " + a.word(3));
    m.listSelectRow(int(a.code(1)), int(a.code(2)), row);
  } else if (c == "check") {
    Require(sim, a.code(1), a.code(2), &kCheck);
    bool on = a.word(3) == "on";
    if (!on && a.word(3) != "off") throw ScriptError("check takes on or off");
    m.setButtonState(int(a.code(1)), int(a.code(2)), on ? 1 : 0);
    Event(sim, a.code(1), a.code(2), on ? "chek" : "uchk");
  } else if (c == "type" || c == "enter") {
    Require(sim, a.code(1), a.code(2), nullptr);
    m.setText(int(a.code(1)), int(a.code(2)), a.rest(3).c_str());
    if (c == "enter") Event(sim, a.code(1), a.code(2), "tent");
  } else if (c == "close") {
    if (!sim.userClose(a.code(1)))
      throw ScriptError("window " + a.word(1) + " is not open");
  } else if (c == "aircraft") {
    SetUserAircraft(sim, a);
  } else if (c == "user") {
    bool present = a.word(1) == "present";
    if (!present && a.word(1) != "absent")
      throw ScriptError("user takes present or absent");
    m.modify([&](HostState& s) { s.user.present = present; });
  } else if (c == "com") {
    float mhz = static_cast<float>(a.number(1));
    m.modify([&](HostState& s) { s.user.com1 = mhz; });
  } else if (c == "xpdr") {
    Transponder x{a.integer(1), a.integer(2), a.integer(3), FourCC("kt76")};
    if (a.has(4)) x.destination = a.code(4);
    m.modify([&](HostState& s) { s.user.transponder = x; });
  } else if (c == "clock") {
    int hour = -1, minute = -1;
    char colon = 0;
    std::istringstream in(a.word(1));
    if (!(in >> hour >> colon >> minute) || colon != ':' || hour < 0 ||
        hour > 23 || minute < 0 || minute > 59)
      throw ScriptError("clock takes HH:MM");
    m.modify([&](HostState& s) {
      s.timeHour = hour;
      s.timeMinute = minute;
    });
  } else if (c == "setting") {
    m.setSetting("Talvix", a.word(1), a.rest(2));
  } else if (c == "airport") {
    m.modify([&](HostState& s) { s.departure = a.word(1); });
  } else if (c == "planner") {
    std::vector<PlanNode> nodes;
    for (std::size_t i = 3; a.has(i); ++i)
      nodes.push_back(ParsePlanNode(a.word(i)));
    std::string dep = a.word(1) == "-" ? "" : a.word(1);
    std::string dest = a.word(2) == "-" ? "" : a.word(2);
    m.modify([&](HostState& s) {
      s.departure = dep;
      s.destination = dest;
      s.plan = nodes;
    });
  } else if (c == "wait-history") {
    std::string text = a.rest(2);
    if (!WaitFor(sim, a.number(1), [&] { return HistoryHas(m, text); }))
      throw ScriptError("waited " + a.word(1) + " s for history " +
                        Quoted(text) + "; " + DescribeHistory(m));
  } else if (c == "wait-notice") {
    std::string text = a.rest(2);
    if (!WaitFor(sim, a.number(1), [&] { return NoticeHas(m, text); }))
      throw ScriptError("waited " + a.word(1) + " s for notice " +
                        Quoted(text) + "; " + DescribeNotices(m));
  } else if (c == "wait-sound") {
    // A sound started from now on: nothing runs between two commands but
    // the idle calls they make, so none is missed.
    std::string file = a.rest(2);
    const int before = SoundCount(m, file);
    if (!WaitFor(sim, a.number(1),
                 [&] { return SoundCount(m, file) > before; }))
      throw ScriptError("waited " + a.word(1) + " s for sound " + Quoted(file));
  } else if (c == "watch") {
    Watch(sim, out, a.number(1));
  } else if (c == "wait-object") {
    std::string name = a.word(2);
    if (!WaitFor(sim, a.number(1), [&] { return ObjectExists(m, name); }))
      throw ScriptError("waited " + a.word(1) + " s for object " +
                        Quoted(name) + "; " + DescribeObjects(m));
  } else if (c == "dump") {
    std::string text = sim.dump().dump(2);
    if (a.has(1)) {
      std::ofstream file(a.rest(1));
      if (!(file << text << '\n'))
        throw ScriptError("cannot write " + a.rest(1));
    } else {
      out << text << '\n' << std::flush;
    }
  } else if (!RunCheck(m, a)) {
    throw ScriptError("unknown command: " + c);
  }
}

}  // namespace

bool ScriptRunner::run(const std::string& line, std::string* error) {
  std::string text = line;
  while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
    text.pop_back();
  ScriptArgs args(text);
  if (args.count() == 0 || args.word(0)[0] == '#') return true;
  try {
    Run(sim_, out_, args);
    return true;
  } catch (const std::exception& e) {
    if (error) *error = e.what();
    return false;
  }
}

int ScriptRunner::runAll(std::istream& in, std::ostream& err) {
  std::string line;
  int number = 0;
  while (std::getline(in, line)) {
    ++number;
    std::string error;
    if (!run(line, &error)) {
      err << "script line " << number << ": " << line << "\n  " << error
          << '\n';
      return 1;
    }
  }
  return 0;
}

}  // namespace sim
