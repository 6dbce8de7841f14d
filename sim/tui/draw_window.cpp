// The plug-in's windows, drawn from the host's window state whatever
// controls they hold, and the popup or menu open over them.
#include <curses.h>

#include <algorithm>
#include <fstream>
#include <map>
#include <sstream>

#include "core/fourcc.h"
#include "sim/file_lookup.h"
#include "sim/tui/draw_parts.h"
#include "sim/tui/list_view.h"
#include "sim/tui/picture.h"

namespace sim::tui::draw {

std::string WindowName(const Window& w) {
  return w.title.empty() ? talvix::FourCCText(w.code) : w.title;
}

void DrawList(const Window& w, const Control& c, const Rect& r, bool focused,
              ViewState& view) {
  const std::vector<int> widths = ColumnWidths(c.columns, r.width, c.rows);
  bool titles = false;
  for (const ListColumn& col : c.columns) titles |= !col.title.empty();
  int row = r.row;
  if (titles && r.height > 1) {
    int col = r.col;
    Fill(row, r.col, r.width, A_UNDERLINE | (focused ? A_BOLD : 0));
    for (std::size_t i = 0; i < c.columns.size(); ++i) {
      Put(row, col, c.columns[i].title, widths[i] - 1,
          A_UNDERLINE | (focused ? A_BOLD : 0));
      col += widths[i];
    }
    ++row;
  }
  const int visible = r.bottom() - row;
  const std::vector<ListLine> lines = ListLines(c, widths);
  ListView& placed = view.lists[ListKey(w.code, c.code)];
  PlaceListView(placed, lines, c.selectedRow, visible);
  for (int i = 0; i < visible; ++i) {
    const std::size_t at = static_cast<std::size_t>(placed.top + i);
    if (at >= lines.size()) break;
    const ListLine& line = lines[at];
    const bool selected = line.row == c.selectedRow;
    const int attr = selected ? (focused ? A_REVERSE : A_BOLD) : 0;
    if (selected) Fill(row + i, r.col, r.width, attr);
    int col = r.col;
    for (std::size_t k = 0; k < widths.size() && k < line.cells.size(); ++k) {
      Put(row + i, col, line.cells[k],
          widths[k] - (k + 1 < widths.size() ? 1 : 0), attr);
      col += widths[k];
    }
  }
  if (focused && c.rows.empty()) Put(row, r.col, "(empty)", r.width, A_DIM);
}

void DrawPicture(const Control& c, const Rect& r, const std::string& root) {
  static std::map<std::string, Bitmap> cache;
  if (c.picture.empty()) return;
  auto found = cache.find(c.picture);
  if (found == cache.end()) {
    Bitmap bitmap;
    std::string path = FindFileNoCase(root, c.picture);
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    if (path.empty() || !ParsePbm(bytes.str(), &bitmap)) bitmap = {};
    found = cache.emplace(c.picture, bitmap).first;
  }
  const Bitmap& b = found->second;
  if (b.width == 0) {
    Put(r.row, r.col, "[picture " + c.picture + "]", r.width);
    return;
  }
  // Each cell shows a block of pixels, inked when most of it is.
  const int stepX = std::max(1, (b.width + r.width - 1) / r.width);
  const int stepY = std::max(1, (b.height + r.height - 1) / r.height);
  for (int y = 0; y * stepY < b.height && y < r.height; ++y) {
    std::string line;
    for (int x = 0; x * stepX < b.width && x < r.width; ++x) {
      int ink = 0, all = 0;
      for (int dy = 0; dy < stepY && y * stepY + dy < b.height; ++dy)
        for (int dx = 0; dx < stepX && x * stepX + dx < b.width; ++dx, ++all)
          ink += b.at(x * stepX + dx, y * stepY + dy);
      line += ink * 2 > all ? '#' : ' ';
    }
    Put(r.row + y, r.col, line, r.width);
  }
}

Cursor DrawControl(const Window& w, const Control& c, const Rect& r,
                   int captionWidth, bool focused, ViewState& view,
                   const std::string& root) {
  Cursor cursor;
  const int mark = focused ? A_REVERSE : 0;
  const std::string caption = ControlCaption(c);
  switch (c.kind) {
    case ControlKind::kText: {
      Put(r.row, r.col, caption + ":", r.width, focused ? A_BOLD : 0);
      const int at =
          r.col + std::max(captionWidth, static_cast<int>(caption.size())) + 2;
      const int width = r.right() - at;
      if (width <= 0) break;
      const std::string text =
          c.password ? std::string(c.text.size(), '*') : c.text;
      const std::size_t caret =
          focused ? FieldCursor(view, w.code, c) : std::size_t{0};
      const std::size_t start = FieldStart(text.size(), caret, width);
      Fill(r.row, at, width, A_UNDERLINE | (focused ? A_BOLD : 0));
      Put(r.row, at, text.substr(start), width,
          A_UNDERLINE | (focused ? A_BOLD : 0));
      if (focused) cursor = {r.row, at + static_cast<int>(caret - start)};
      break;
    }
    case ControlKind::kLabel:
      Put(r.row, r.col, LabelText(c), r.width, A_BOLD);
      break;
    case ControlKind::kButton:
      Put(r.row, r.col, "[ " + caption + " ]", r.width, mark | A_BOLD);
      break;
    case ControlKind::kCheck:
      Put(r.row, r.col, std::string(c.state ? "[x] " : "[ ] ") + caption,
          r.width, mark);
      break;
    case ControlKind::kPopup: {
      const PopupItem* item = c.selected ? c.findItem(*c.selected) : nullptr;
      Put(r.row, r.col, caption + ":", r.width, focused ? A_BOLD : 0);
      const int at =
          r.col + std::max(captionWidth, static_cast<int>(caption.size())) + 2;
      // A long item is cut inside its brackets.
      const int room = std::max(0, r.right() - at - 2);
      const std::string text = item ? item->text : std::string();
      Put(r.row, at, "<" + text.substr(0, static_cast<std::size_t>(room)) + ">",
          r.right() - at, mark);
      break;
    }
    case ControlKind::kList: DrawList(w, c, r, focused, view); break;
    case ControlKind::kPicture: DrawPicture(c, r, root); break;
    default: break;
  }
  return cursor;
}

std::string MenuLine(const Window& w) {
  std::string line;
  int n = 1;
  for (const Control& c : w.controls) {
    if (c.kind != ControlKind::kMenu) continue;
    if (!line.empty()) line += "  ";
    line += "F" + std::to_string(n++) + " " + ControlCaption(c).substr(0, 20);
    if (n > 3) break;
  }
  return line;
}

// Which control has the focus, right of the menus: "[Tab: Say]", or
// shorter forms where the window is narrow.
std::string FocusIndicator(const std::string& caption, int room) {
  for (const std::string& form :
       {"[Tab: " + caption + "]", "[" + caption + "]"})
    if (static_cast<int>(form.size()) <= room) return form;
  if (room < 3) return "";
  return "[" + caption.substr(0, static_cast<std::size_t>(room - 2)) + "]";
}

Cursor DrawWindow(const HostState& state, ViewState& view, const Rect& frame,
                  const std::string& root) {
  auto found = state.windows.find(view.current);
  if (found == state.windows.end()) {
    Frame(frame, "no window", false);
    Put(frame.row + 2, frame.col + 2,
        "The plug-in shows no window: F4 opens the simulator menu.",
        frame.width - 4, A_DIM);
    return {};
  }
  const Window& w = found->second;
  Frame(frame, WindowName(w) + (w.minimised ? " (minimised)" : ""), true);
  const std::string menus = MenuLine(w);
  Put(frame.row + 1, frame.col + 1, menus, frame.width - 2, A_BOLD);
  const Rect content = ContentArea(frame);
  const std::uint32_t focus = view.focus.count(w.code) ? view.focus[w.code] : 0;
  if (const Control* focused = w.find(focus)) {
    // One blank after the menus, one before the frame.
    const int room = frame.width - 2 - static_cast<int>(menus.size()) - 2;
    const std::string where = FocusIndicator(ControlCaption(*focused), room);
    const int at = frame.right() - 2 - static_cast<int>(where.size());
    Put(frame.row + 1, at, where, frame.right() - 1 - at);
  }
  Cursor cursor;
  for (const ControlPlace& place :
       LayoutControls(w, content.height, content.width)) {
    const Control& c = w.controls[place.index];
    Rect r = place.rect;
    r.row += content.row;
    r.col += content.col;
    Cursor here =
        DrawControl(w, c, r, place.captionWidth, c.code == focus, view, root);
    if (here.row >= 0) cursor = here;
  }
  return cursor;
}

void DrawDropdown(const HostState& s, const ViewState& view,
                  const ScreenLayout& l) {
  const Dropdown& d = view.dropdown;
  if (d.kind == Dropdown::Kind::kNone) return;
  int row = l.menuBar.row + 1, col = l.menuBar.col + 2;
  if (d.kind != Dropdown::Kind::kSimMenu) {
    auto w = s.windows.find(d.window);
    if (w == s.windows.end()) return;
    const Rect content = ContentArea(l.window);
    if (d.kind == Dropdown::Kind::kWindowMenu) {
      row = l.window.row + 2;
      for (const Control& c : w->second.controls) {
        if (c.code == d.control) break;
        if (c.kind == ControlKind::kMenu)
          col += 5 + static_cast<int>(ControlCaption(c).substr(0, 20).size());
      }
      col = l.window.col + 1 + (col - l.menuBar.col - 2);
    } else {
      for (const ControlPlace& p :
           LayoutControls(w->second, content.height, content.width))
        if (w->second.controls[p.index].code == d.control) {
          row = content.row + p.rect.row + 1;
          col = content.col + p.rect.col;
        }
    }
  }
  int width = 12;
  for (const auto& c : d.choices)
    width = std::max(width, static_cast<int>(c.text.size()) + 4);
  const int shown =
      std::min(static_cast<int>(d.choices.size()), std::max(1, LINES - 6));
  // Opens upwards when there is no room below.
  if (row + shown + 2 > LINES - 2) row = std::max(1, row - shown - 3);
  width = std::min(width, COLS - col);
  if (width < 6) return;
  const Rect box{row, col, shown + 2, width};
  for (int i = 0; i < box.height; ++i) Fill(box.row + i, box.col, box.width, 0);
  Frame(box, "", true);
  const int first = std::max(0, d.highlighted - shown + 1);
  for (int i = 0; i < shown; ++i) {
    const int k = first + i;
    if (k >= static_cast<int>(d.choices.size())) break;
    const int attr = k == d.highlighted ? A_REVERSE : 0;
    Fill(box.row + 1 + i, box.col + 1, box.width - 2, attr);
    Put(box.row + 1 + i, box.col + 2,
        d.choices[static_cast<std::size_t>(k)].text, box.width - 4, attr);
  }
}

}  // namespace sim::tui::draw
