// The drawing primitives: clipped, sanitised text and plain frames.
#include <curses.h>
#include <langinfo.h>

#include <algorithm>
#include <cstring>

#include "sim/tui/draw_parts.h"
#include "sim/tui/list_view.h"

namespace sim::tui::draw {

int Colour(Pair pair) { return has_colors() ? COLOR_PAIR(pair) : 0; }

void Put(int row, int col, const std::string& text, int width, int attr) {
  if (width <= 0) return;
  static const bool utf8 = std::strcmp(nl_langinfo(CODESET), "UTF-8") == 0;
  const std::string shown =
      ShownText(text.substr(0, static_cast<std::size_t>(width)), utf8);
  attron(attr);
  mvaddstr(row, col, shown.c_str());
  attroff(attr);
}

void Fill(int row, int col, int width, int attr) {
  Put(row, col, std::string(static_cast<std::size_t>(std::max(0, width)), ' '),
      width, attr);
}

// Frames in plain characters, so that any terminal and any screen capture
// shows them alike.
void Frame(const Rect& r, const std::string& title, bool active) {
  if (r.height < 2 || r.width < 2) return;
  const int attr = active ? A_BOLD : 0;
  const std::string edge =
      "+" + std::string(static_cast<std::size_t>(r.width - 2), '-') + "+";
  Put(r.row, r.col, edge, r.width, attr);
  Put(r.bottom() - 1, r.col, edge, r.width, attr);
  for (int row = r.row + 1; row < r.bottom() - 1; ++row) {
    Put(row, r.col, "|", 1, attr);
    Put(row, r.right() - 1, "|", 1, attr);
  }
  if (!title.empty())
    Put(r.row, r.col + 2, " " + title + " ", r.width - 4, attr);
}

}  // namespace sim::tui::draw
