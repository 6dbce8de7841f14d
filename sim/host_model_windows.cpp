// The model's windows, controls and menus.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <sstream>

#include "core/fourcc.h"
#include "sim/file_lookup.h"
#include "sim/host_model.h"
#include "sim/win_file.h"

using talvix::FourCCText;

namespace sim {
namespace {

std::string Text(const char* text) { return text ? text : ""; }
std::uint32_t U(int code) { return static_cast<std::uint32_t>(code); }

std::string Where(int window, int control) {
  return FourCCText(U(window)) + "/" + FourCCText(U(control));
}

}  // namespace

Control* HostModel::control(int window, int code, const char* op) {
  auto w = state_.windows.find(U(window));
  if (w == state_.windows.end()) return nullptr;  // closed: quietly nothing
  Control* c = w->second.find(U(code));
  if (c == nullptr)
    fault(std::string(op) + ": no control " + Where(window, code));
  return c;
}

Control* HostModel::control(int window, int code, ControlKind kind,
                            const char* op) {
  Control* c = control(window, code, op);
  if (c && c->kind != kind &&
      !(kind == ControlKind::kPopup && c->kind == ControlKind::kMenu)) {
    fault(std::string(op) + ": " + Where(window, code) + " is a " +
          ControlKindName(c->kind) + ", not a " + ControlKindName(kind));
    return nullptr;
  }
  return c;
}

int HostModel::createWindow(int signature, int window, const char* file) {
  std::lock_guard<std::mutex> lock(mutex_);
  std::string name = Text(file);
  std::string path = FindFileNoCase(root_, name);
  if (path.empty()) {
    fault("create window " + FourCCText(U(window)) + ": no file " + name);
    return 0;
  }
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  Window w;
  w.code = U(window);
  w.file = name;
  w.signature = signature;
  std::string error;
  if (!ParseWinText(text.str(), &w, &error)) {
    fault("create window " + FourCCText(U(window)) + ": " + name + " " + error);
    return 0;
  }
  state_.windows[w.code] = w;
  forgetPopupIds(window);
  return 1;
}

void HostModel::closeWindow(int window) {
  std::lock_guard<std::mutex> lock(mutex_);
  state_.windows.erase(U(window));
  forgetPopupIds(window);
}

int HostModel::isWindowOpen(int window) {
  std::lock_guard<std::mutex> lock(mutex_);
  return state_.windows.count(U(window)) ? 1 : 0;
}

void HostModel::raiseWindow(int window) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto w = state_.windows.find(U(window));
  if (w == state_.windows.end()) return;
  w->second.minimised = false;
  ++w->second.raises;
}

void HostModel::minimiseWindow(int window) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto w = state_.windows.find(U(window));
  if (w != state_.windows.end()) w->second.minimised = true;
}

int HostModel::addMenu(int menuBar, int menu, const char* title) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto& m : state_.menus) {
    if (m.code == U(menu)) {
      m.title = Text(title);
      return 1;
    }
  }
  state_.menus.push_back({U(menuBar), U(menu), Text(title), {}});
  return 1;
}

int HostModel::addMenuItem(int menu, int item, const char* text) {
  std::lock_guard<std::mutex> lock(mutex_);
  for (auto& m : state_.menus) {
    if (m.code == U(menu)) {
      m.items.push_back({U(item), Text(text)});
      return 1;
    }
  }
  fault("add menu item: no menu " + FourCCText(U(menu)));
  return 0;
}

int HostModel::getControlValue(int window, int code) {
  std::lock_guard<std::mutex> lock(mutex_);
  Control* c = control(window, code, "get control value");
  return c ? c->value : 0;
}

void HostModel::setControlValue(int window, int code, int value) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (Control* c = control(window, code, "set control value")) c->value = value;
}

int HostModel::getButtonState(int window, int code) {
  std::lock_guard<std::mutex> lock(mutex_);
  Control* c = control(window, code, "get button state");
  return c ? c->state : 0;
}

void HostModel::setButtonState(int window, int code, int state) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (Control* c = control(window, code, "set button state")) c->state = state;
}

std::unordered_map<int, int>& HostModel::popupIds(int window, int code,
                                                  const Control& popup) {
  auto [it, made] = popupIds_.try_emplace({window, code});
  if (made)
    for (const PopupItem& item : popup.items) ++it->second[item.id];
  return it->second;
}

void HostModel::forgetPopupIds(int window) {
  for (auto it = popupIds_.begin(); it != popupIds_.end();)
    it = it->first.first == window ? popupIds_.erase(it) : std::next(it);
}

void HostModel::addPopupItem(int window, int code, int id, const char* text) {
  std::lock_guard<std::mutex> lock(mutex_);
  Control* c = control(window, code, ControlKind::kPopup, "add popup item");
  if (c == nullptr) return;
  ++popupIds(window, code, *c)[id];
  c->items.push_back({id, Text(text)});
}

void HostModel::removePopupItem(int window, int code, int id) {
  std::lock_guard<std::mutex> lock(mutex_);
  Control* c = control(window, code, ControlKind::kPopup, "remove popup item");
  if (c == nullptr) return;
  std::unordered_map<int, int>& ids = popupIds(window, code, *c);
  auto counted = ids.find(id);
  if (counted != ids.end()) {
    // The first item with the id goes; when it is the only one, it is
    // sought from the end, where a pilot's newest items are.
    const auto matches = [id](const PopupItem& item) { return item.id == id; };
    auto item = c->items.end();
    if (counted->second == 1) {
      auto last = std::find_if(c->items.rbegin(), c->items.rend(), matches);
      if (last != c->items.rend()) item = std::prev(last.base());
    } else {
      item = std::find_if(c->items.begin(), c->items.end(), matches);
    }
    if (item != c->items.end()) c->items.erase(item);
    if (--counted->second == 0) ids.erase(counted);
  }
  // A popup whose shown item went away shows its first item again.
  if (c->selected && ids.count(*c->selected) == 0) {
    c->selected.reset();
    if (!c->items.empty()) c->selected = c->items.front().id;
  }
}

void HostModel::selectPopupItem(int window, int code, int id) {
  std::lock_guard<std::mutex> lock(mutex_);
  Control* c = control(window, code, ControlKind::kPopup, "select popup item");
  if (c && c->findItem(id)) c->selected = id;
}

int HostModel::getPopupSelection(int window, int code, char* buffer, int size) {
  std::lock_guard<std::mutex> lock(mutex_);
  CopyOut("", buffer, size);
  Control* c = control(window, code, ControlKind::kPopup, "popup selection");
  if (c == nullptr || !c->selected) return -1;
  const PopupItem* item = c->findItem(*c->selected);
  if (item == nullptr) return -1;
  CopyOut(item->text, buffer, size);
  return item->id;
}

void HostModel::setText(int window, int code, const char* text) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (Control* c = control(window, code, "set text")) c->text = Text(text);
}

void HostModel::getText(int window, int code, char* buffer, int size) {
  std::lock_guard<std::mutex> lock(mutex_);
  Control* c = control(window, code, "get text");
  CopyOut(c ? c->text : "", buffer, size);
}

void HostModel::clearText(int window, int code) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (Control* c = control(window, code, "clear text")) c->text.clear();
}

void HostModel::setPasswordDisplay(int window, int code, int on) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (Control* c = control(window, code, "password display"))
    c->password = on != 0;
}

void HostModel::listClearColumns(int window, int code) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (Control* c = control(window, code, ControlKind::kList, "clear columns"))
    c->columns.clear();
}

void HostModel::listAddColumn(int window, int code, const char* title,
                              int width) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (Control* c = control(window, code, ControlKind::kList, "add column"))
    c->columns.push_back({Text(title), width});
}

void HostModel::listClearRows(int window, int code) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (Control* c = control(window, code, ControlKind::kList, "clear rows")) {
    c->rows.clear();
    c->selectedRow = -1;
    c->scrollRow = -1;
  }
}

void HostModel::listAppendRow(int window, int code, int) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (Control* c = control(window, code, ControlKind::kList, "append row"))
    c->rows.emplace_back(std::max<std::size_t>(c->columns.size(), 1));
}

int HostModel::listRowCount(int window, int code) {
  std::lock_guard<std::mutex> lock(mutex_);
  Control* c = control(window, code, ControlKind::kList, "row count");
  return c ? static_cast<int>(c->rows.size()) : 0;
}

void HostModel::listDeleteRow(int window, int code, int row) {
  std::lock_guard<std::mutex> lock(mutex_);
  Control* c = control(window, code, ControlKind::kList, "delete row");
  if (c == nullptr || row < 0 || row >= static_cast<int>(c->rows.size()))
    return;
  c->rows.erase(c->rows.begin() + row);
  if (c->selectedRow == row) c->selectedRow = -1;
  if (c->selectedRow > row) --c->selectedRow;
}

void HostModel::listSetCell(int window, int code, int row, int column,
                            const char* text) {
  std::lock_guard<std::mutex> lock(mutex_);
  Control* c = control(window, code, ControlKind::kList, "set cell");
  if (c == nullptr) return;
  if (row < 0 || row >= static_cast<int>(c->rows.size()) || column < 0 ||
      column > 255) {
    fault("set cell: " + Where(window, code) + " has no row " +
          std::to_string(row) + " column " + std::to_string(column));
    return;
  }
  auto& cells = c->rows[row];
  if (column >= static_cast<int>(cells.size())) cells.resize(column + 1);
  cells[column] = Text(text);
}

void HostModel::listGetCell(int window, int code, int row, int column,
                            char* buffer, int size) {
  std::lock_guard<std::mutex> lock(mutex_);
  Control* c = control(window, code, ControlKind::kList, "get cell");
  std::string text;
  if (c && row >= 0 && row < static_cast<int>(c->rows.size()) && column >= 0 &&
      column < static_cast<int>(c->rows[row].size()))
    text = c->rows[row][column];
  CopyOut(text, buffer, size);
}

int HostModel::listSelectedRow(int window, int code) {
  std::lock_guard<std::mutex> lock(mutex_);
  Control* c = control(window, code, ControlKind::kList, "selected row");
  return c ? c->selectedRow : -1;
}

void HostModel::listSelectRow(int window, int code, int row) {
  std::lock_guard<std::mutex> lock(mutex_);
  Control* c = control(window, code, ControlKind::kList, "select row");
  if (c == nullptr) return;
  c->selectedRow =
      row >= 0 && row < static_cast<int>(c->rows.size()) ? row : -1;
}

void HostModel::setPicture(int window, int code, const char* file) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (Control* c = control(window, code, "set picture"))
    c->picture = Text(file);
}

void HostModel::scrollToRow(int window, int code, int row) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (Control* c = control(window, code, ControlKind::kList, "scroll"))
    c->scrollRow = row;
}

void HostModel::setFocus(int window, int code) {
  std::lock_guard<std::mutex> lock(mutex_);
  auto w = state_.windows.find(U(window));
  if (w != state_.windows.end() && control(window, code, "focus")) {
    w->second.focus = U(code);
    ++w->second.focusSets;
  }
}

void HostModel::redraw(int window, int code) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (Control* c = control(window, code, "redraw")) ++c->redraws;
}

}  // namespace sim
