#include "sim/script_checks.h"

#include "core/fourcc.h"

using talvix::FourCC;
using talvix::FourCCText;

namespace sim {
namespace {

std::string List(const std::vector<std::string>& texts) {
  std::string out = "[";
  for (std::size_t i = 0; i < texts.size(); ++i)
    out += (i ? ", " : "") + Quoted(texts[i]);
  return out + "]";
}

// Column 0 of every row of a list; throws when the list is not there.
std::vector<std::string> Rows(const HostModel& model, std::uint32_t window,
                              std::uint32_t control) {
  std::vector<std::string> rows;
  std::string why = model.read([&](const HostState& s) -> std::string {
    auto w = s.windows.find(window);
    if (w == s.windows.end())
      return "window " + FourCCText(window) + " is not open";
    const Control* c = w->second.find(control);
    if (c == nullptr || c->kind != ControlKind::kList)
      return FourCCText(window) + "/" + FourCCText(control) + " is no list";
    for (const auto& row : c->rows) rows.push_back(row.empty() ? "" : row[0]);
    return "";
  });
  if (!why.empty()) throw ScriptError(why);
  return rows;
}

// The items of a popup and the text of the one shown ("" when none);
// throws when the popup is not there.
struct PopupView {
  std::vector<std::string> texts;
  std::string shown;
};

PopupView Popup(const HostModel& model, std::uint32_t window,
                std::uint32_t control) {
  PopupView view;
  std::string why = model.read([&](const HostState& s) -> std::string {
    auto w = s.windows.find(window);
    if (w == s.windows.end())
      return "window " + FourCCText(window) + " is not open";
    const Control* c = w->second.find(control);
    if (c == nullptr || c->kind != ControlKind::kPopup)
      return FourCCText(window) + "/" + FourCCText(control) + " is no popup";
    for (const auto& item : c->items) {
      view.texts.push_back(item.text);
      if (c->selected && item.id == *c->selected) view.shown = item.text;
    }
    return "";
  });
  if (!why.empty()) throw ScriptError(why);
  return view;
}

}  // namespace

std::vector<std::string> HistoryRows(const HostModel& model) {
  try {
    return Rows(model, FourCC("txMN"), FourCC("hist"));
  } catch (const ScriptError&) {
    return {};
  }
}

namespace {

bool Contains(const std::vector<std::string>& texts, const std::string& text) {
  for (const auto& t : texts)
    if (t == text) return true;
  return false;
}

void Fail(const std::string& what, const std::string& there) {
  throw ScriptError(what + "; " + there);
}

}  // namespace

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

bool HistoryHas(const HostModel& model, const std::string& text) {
  return Contains(HistoryRows(model), text);
}

std::string DescribeHistory(const HostModel& model) {
  bool open = model.read(
      [](const HostState& s) { return s.windows.count(FourCC("txMN")) != 0; });
  if (!open) return "the main window txMN is not open";
  return "history rows: " + List(HistoryRows(model));
}

std::vector<std::string> NoticeTexts(const HostModel& model) {
  std::vector<std::string> texts;
  model.read([&](const HostState& s) {
    for (const auto& n : s.notices) texts.push_back(n.text);
    return 0;
  });
  return texts;
}

bool NoticeHas(const HostModel& model, const std::string& text) {
  return Contains(NoticeTexts(model), text);
}

std::string DescribeNotices(const HostModel& model) {
  return "notices: " + List(NoticeTexts(model));
}

int SoundCount(const HostModel& model, const std::string& file) {
  return model.read([&](const HostState& s) {
    int n = 0;
    for (const auto& sound : s.sounds) n += sound.file == file;
    return n;
  });
}

bool ObjectExists(const HostModel& model, const std::string& name) {
  return model.read([&](const HostState& s) {
    for (const auto& o : s.objects)
      if (o.names[0] == name) return true;
    return false;
  });
}

std::string DescribeObjects(const HostModel& model) {
  std::vector<std::string> names = model.read([](const HostState& s) {
    std::vector<std::string> n;
    for (const auto& o : s.objects) n.push_back(o.names[0]);
    return n;
  });
  return "objects: " + List(names);
}

bool RunCheck(const HostModel& model, const ScriptArgs& a) {
  const std::string& c = a.word(0);
  if (c == "expect" || c == "expect-not") {
    const std::string& what = a.word(1);
    std::string text = a.rest(2);
    std::vector<std::string> there;
    std::string description;
    if (what == "history") {
      there = HistoryRows(model);
      description = DescribeHistory(model);
    } else if (what == "notice" && c == "expect") {
      there = NoticeTexts(model);
      description = DescribeNotices(model);
    } else if (what == "alert" && c == "expect") {
      there = model.read([](const HostState& s) { return s.alerts; });
      description = "alerts: " + List(there);
    } else {
      throw ScriptError(c + " takes history" +
                        (c == "expect" ? ", notice or alert" : ""));
    }
    bool found = Contains(there, text);
    if (c == "expect" && !found)
      Fail(c + " " + what + " " + Quoted(text) + " failed", description);
    if (c == "expect-not" && found)
      Fail(c + " " + what + " " + Quoted(text) + " failed", description);
  } else if (c == "expect-row") {
    auto rows = Rows(model, a.code(1), a.code(2));
    int n = a.integer(3);
    std::string text = a.rest(4);
    if (n < 0 || n >= static_cast<int>(rows.size()) || rows[n] != text)
      Fail("expect-row " + a.word(2) + " " + a.word(3) + " " + Quoted(text) +
               " failed",
           "rows: " + List(rows));
  } else if (c == "expect-rows") {
    auto rows = Rows(model, a.code(1), a.code(2));
    if (static_cast<int>(rows.size()) != a.integer(3))
      Fail("expect-rows " + a.word(2) + " " + a.word(3) + " failed",
           std::to_string(rows.size()) + " rows: " + List(rows));
  } else if (c == "expect-items") {
    const PopupView popup = Popup(model, a.code(1), a.code(2));
    if (static_cast<int>(popup.texts.size()) != a.integer(3))
      Fail("expect-items " + a.word(2) + " " + a.word(3) + " failed",
           std::to_string(popup.texts.size()) + " items: " + List(popup.texts));
  } else if (c == "expect-item" || c == "expect-no-item") {
    const PopupView popup = Popup(model, a.code(1), a.code(2));
    const std::string text = a.rest(3);
    if (Contains(popup.texts, text) != (c == "expect-item"))
      Fail(c + " " + a.word(2) + " " + Quoted(text) + " failed",
           "items: " + List(popup.texts));
  } else if (c == "expect-shown") {
    const PopupView popup = Popup(model, a.code(1), a.code(2));
    const std::string text = a.rest(3);
    if (popup.shown != text)
      Fail("expect-shown " + a.word(2) + " " + Quoted(text) + " failed",
           "shown is " + Quoted(popup.shown));
  } else if (c == "expect-text") {
    std::uint32_t window = a.code(1), control = a.code(2);
    std::string text = a.rest(3), actual;
    std::string why = model.read([&](const HostState& s) -> std::string {
      auto w = s.windows.find(window);
      if (w == s.windows.end()) return "window " + a.word(1) + " is not open";
      const Control* k = w->second.find(control);
      if (k == nullptr) return "no control " + a.word(2);
      actual = k->text;
      return "";
    });
    if (!why.empty()) throw ScriptError(why);
    if (actual != text)
      Fail("expect-text " + a.word(1) + " " + a.word(2) + " " + Quoted(text) +
               " failed",
           "text is " + Quoted(actual));
  } else if (c == "expect-object" || c == "expect-no-object") {
    bool exists = ObjectExists(model, a.word(1));
    if (exists != (c == "expect-object"))
      Fail(c + " " + Quoted(a.word(1)) + " failed", DescribeObjects(model));
  } else {
    return false;
  }
  return true;
}

}  // namespace sim
