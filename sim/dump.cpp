#include "sim/dump.h"

#include <cctype>
#include <cstring>

#include "core/fourcc.h"

using nlohmann::json;
using talvix::FourCCText;

namespace sim {
namespace {

// Texts of the plug-in may hold any bytes; JSON wants UTF-8, so bytes that
// are not printable ASCII are written as \xNN.
std::string Safe(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      static const char kHex[] = "0123456789abcdef";
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
}

std::string Code(std::uint32_t code) { return Safe(FourCCText(code)); }

// An item id that reads as four printable characters ('mp5_') also gets
// its code.
json Item(const PopupItem& item) {
  json j = {{"id", item.id}, {"text", Safe(item.text)}};
  std::string code = FourCCText(static_cast<std::uint32_t>(item.id));
  bool printable = true;
  for (unsigned char c : code) printable = printable && std::isgraph(c);
  if (printable) j["code"] = code;
  return j;
}

json Vec(const talvix::HostVector& v) { return json::array({v.x, v.y, v.z}); }
json Pos(const talvix::HostPosition& p) {
  return json::array({p.lat, p.lon, p.alt});
}

std::string RecordText(const char* text, std::size_t size) {
  return Safe(std::string(text, strnlen(text, size)));
}

}  // namespace

json DumpControl(const Control& c) {
  json j = {{"kind", ControlKindName(c.kind)}, {"text", Safe(c.text)}};
  switch (c.kind) {
    case ControlKind::kCheck:
    case ControlKind::kButton: j["state"] = c.state; break;
    case ControlKind::kPopup:
    case ControlKind::kMenu: {
      json items = json::array();
      for (const auto& i : c.items) items.push_back(Item(i));
      j["items"] = items;
      if (c.kind == ControlKind::kPopup)
        j["selected"] = c.selected ? json(*c.selected) : json(nullptr);
      break;
    }
    case ControlKind::kList: {
      json columns = json::array(), rows = json::array();
      for (const auto& col : c.columns)
        columns.push_back({{"title", Safe(col.title)}, {"width", col.width}});
      for (const auto& row : c.rows) {
        json cells = json::array();
        for (const auto& cell : row) cells.push_back(Safe(cell));
        rows.push_back(cells);
      }
      j["columns"] = columns;
      j["rows"] = rows;
      j["selectedRow"] = c.selectedRow;
      j["scrollRow"] = c.scrollRow;
      break;
    }
    case ControlKind::kText: j["password"] = c.password; break;
    case ControlKind::kPicture: j["picture"] = Safe(c.picture); break;
    default: break;
  }
  if (c.value != 0) j["value"] = c.value;
  j["redraws"] = c.redraws;
  return j;
}

json DumpState(const HostModel& model, const talvix::AboutRecord& about) {
  HostState s = model.snapshot();
  json j;

  json windows = json::object();
  for (const auto& [code, w] : s.windows) {
    json controls = json::object();
    for (const auto& c : w.controls) controls[Code(c.code)] = DumpControl(c);
    windows[Code(code)] = {{"file", Safe(w.file)},
                           {"title", Safe(w.title)},
                           {"minimised", w.minimised},
                           {"raises", w.raises},
                           {"focus", w.focus ? json(Code(w.focus)) : json()},
                           {"controls", controls}};
  }
  j["windows"] = windows;

  json objects = json::array();
  for (const auto& o : s.objects)
    objects.push_back({{"id", o.id},
                       {"model", Safe(o.model)},
                       {"names", {Safe(o.names[0]), Safe(o.names[1])}},
                       {"position", Pos(o.position)},
                       {"orientation", Vec(o.orientation)},
                       {"velocity", Vec(o.velocity)},
                       {"speed", o.speed}});
  j["objects"] = objects;

  const auto& x = s.user.transponder;
  j["user"] = {{"present", s.user.present},
               {"position", Pos(s.user.position)},
               {"orientation", Vec(s.user.orientation)},
               {"speed", s.user.speed},
               {"com1", s.user.com1},
               {"transponder",
                {{"mode", x.mode},
                 {"reply", x.reply},
                 {"code", x.code},
                 {"destination", Code(x.destination)}}}};

  const auto& w = s.weather;
  json clouds = json::array();
  for (const auto& c : w.cloud)
    clouds.push_back({{"present", c.present},
                      {"base", c.base},
                      {"coverage", c.coverage},
                      {"thickness", c.thickness}});
  j["weather"] = {{"altimeter", w.altimeter},
                  {"windSpeed", w.windSpeed},
                  {"gustSpeed", w.gustSpeed},
                  {"windDirection", w.windDirection},
                  {"variableWind", w.variableWind},
                  {"stormValue", w.stormValue},
                  {"stormFlag", w.stormFlag},
                  {"clouds", clouds},
                  {"station", Safe(s.weatherExtras.station)},
                  {"visibility", s.weatherExtras.visibilityMeters},
                  {"temperature", s.weatherExtras.temperature},
                  {"dewPoint", s.weatherExtras.dewPoint},
                  {"metarFiles", s.metarFiles}};

  json winds = json::array();
  for (const auto& b : s.winds.band)
    winds.push_back({{"direction", b.direction}, {"speed", b.speed}});
  j["winds"] = winds;

  json settings = json::object();
  for (const auto& [k, v] : model.settings("Talvix"))
    settings[Safe(k)] = Safe(v);
  j["settings"] = settings;

  json sounds = json::array();
  for (const auto& snd : s.sounds)
    sounds.push_back({{"file", Safe(snd.file)}, {"handle", snd.handle}});
  j["sounds"] = sounds;

  json alerts = json::array();
  for (const auto& a : s.alerts) alerts.push_back(Safe(a));
  j["alerts"] = alerts;
  json notices = json::array();
  for (const auto& n : s.notices)
    notices.push_back({{"text", Safe(n.text)}, {"seconds", n.seconds}});
  j["notices"] = notices;

  json menus = json::array();
  for (const auto& m : s.menus) {
    json items = json::array();
    for (const auto& i : m.items)
      items.push_back({{"code", Code(i.code)}, {"text", Safe(i.text)}});
    menus.push_back({{"bar", Code(m.bar)},
                     {"code", Code(m.code)},
                     {"title", Safe(m.title)},
                     {"items", items}});
  }
  j["menus"] = menus;

  json libraries = json::array();
  for (const auto& l : s.libraries)
    libraries.push_back({{"op", l.op}, {"name", Safe(l.name)}, {"ok", l.ok}});
  j["libraries"] = libraries;

  json texts = json::array();
  for (const auto& t : about.text) texts.push_back(RecordText(t, sizeof t));
  j["about"] = {{"texts", texts}, {"number", about.number}};

  j["help"] = {{"toggleA", s.helpToggleA},
               {"toggleB", s.helpToggleB},
               {"keyHelp", s.keyHelp}};
  j["time"] = {
      {"host", s.hostTime}, {"hour", s.timeHour}, {"minute", s.timeMinute}};
  json faults = json::array();
  for (const auto& f : s.faults) faults.push_back(Safe(f));
  j["faults"] = faults;
  return j;
}

}  // namespace sim
