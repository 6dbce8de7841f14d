#include "sim/win_file.h"

#include <cstdlib>
#include <sstream>

#include "core/fourcc.h"

namespace sim {
namespace {

// Splits off the first blank-separated word; rest keeps everything after
// the blanks that follow it.
std::string NextWord(const std::string& line, std::string* rest) {
  std::size_t start = line.find_first_not_of(" \t");
  if (start == std::string::npos) {
    rest->clear();
    return "";
  }
  std::size_t end = line.find_first_of(" \t", start);
  std::string word = line.substr(
      start, end == std::string::npos ? std::string::npos : end - start);
  std::size_t next = end == std::string::npos
                         ? std::string::npos
                         : line.find_first_not_of(" \t", end);
  *rest = next == std::string::npos ? "" : line.substr(next);
  return word;
}

std::string TrimEnd(std::string text) {
  while (!text.empty() &&
         (text.back() == '\r' || text.back() == ' ' || text.back() == '\t'))
    text.pop_back();
  return text;
}

}  // namespace

bool ParseCode(const std::string& text, std::uint32_t* code) {
  if (text.size() != 4) return false;
  *code = talvix::FourCCFromText(text);
  return true;
}

bool ParseItemId(const std::string& text, int* id) {
  if (text.size() == 6 && text.front() == '\'' && text.back() == '\'') {
    *id = static_cast<int>(talvix::FourCCFromText(text.substr(1, 4)));
    return true;
  }
  if (text.empty()) return false;
  char* end = nullptr;
  long value = std::strtol(text.c_str(), &end, 10);
  if (*end != '\0' || value < INT32_MIN || value > INT32_MAX) return false;
  *id = static_cast<int>(value);
  return true;
}

bool ParseWinText(const std::string& text, Window* window, std::string* error) {
  std::istringstream in(text);
  std::string line;
  int number = 0;
  auto fail = [&](const std::string& why) {
    if (error) *error = "line " + std::to_string(number) + ": " + why;
    return false;
  };
  window->controls.clear();
  while (std::getline(in, line)) {
    ++number;
    line = TrimEnd(line);
    std::string rest;
    std::string word = NextWord(line, &rest);
    if (word.empty() || word[0] == '#') continue;
    if (word == "title") {
      window->title = rest;
    } else if (word == "control") {
      std::string codeText = NextWord(rest, &rest);
      std::string kindText = NextWord(rest, &rest);
      Control control;
      if (!ParseCode(codeText, &control.code))
        return fail("control code must be four characters: " + codeText);
      auto kind = ControlKindFromName(kindText);
      if (!kind) return fail("unknown control kind: " + kindText);
      if (window->find(control.code))
        return fail("control " + codeText + " given twice");
      control.kind = *kind;
      control.text = rest;
      window->controls.push_back(control);
    } else if (word == "item") {
      if (window->controls.empty()) return fail("item before any control");
      Control& control = window->controls.back();
      if (control.kind != ControlKind::kPopup &&
          control.kind != ControlKind::kMenu)
        return fail("item under a control that is no popup or menu");
      PopupItem item;
      std::string idText = NextWord(rest, &rest);
      if (!ParseItemId(idText, &item.id)) return fail("bad item id: " + idText);
      item.text = rest;
      control.items.push_back(item);
      // A popup shows its first item until something else is selected.
      if (control.kind == ControlKind::kPopup && !control.selected)
        control.selected = item.id;
    } else if (word == "column") {
      if (window->controls.empty() ||
          window->controls.back().kind != ControlKind::kList)
        return fail("column outside a list");
      std::string widthText = NextWord(rest, &rest);
      int width = 0;
      if (!ParseItemId(widthText, &width))
        return fail("bad column width: " + widthText);
      window->controls.back().columns.push_back({rest, width});
    } else if (word == "enter") {
      if (window->controls.empty() ||
          window->controls.back().kind != ControlKind::kList)
        return fail("enter outside a list");
      if (!ParseCode(rest, &window->controls.back().enter))
        return fail("enter names a four-character code: " + rest);
    } else if (word == "caption" || word == "width") {
      if (window->controls.empty()) return fail(word + " before any control");
      Control& control = window->controls.back();
      if (word == "caption") {
        control.caption = rest;
      } else if (!ParseItemId(rest, &control.width) || control.width < 0 ||
                 control.width > 1000) {
        return fail("bad width: " + rest);
      }
    } else {
      return fail("unknown line: " + word);
    }
  }
  return true;
}

}  // namespace sim
