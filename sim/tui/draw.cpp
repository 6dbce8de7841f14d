#include "sim/tui/draw.h"

#include <curses.h>

#include "sim/tui/draw_parts.h"

namespace sim::tui {

using namespace draw;

void DrawScreen(const HostState& state, const std::vector<ScopeTarget>& traffic,
                ViewState& view, const std::string& root) {
  static bool coloured = false;
  if (!coloured && has_colors()) {
    start_color();
    use_default_colors();
    init_pair(kPairScope, COLOR_GREEN, -1);
    init_pair(kPairTarget, COLOR_GREEN, -1);
    init_pair(kPairRing, COLOR_BLUE, -1);
    init_pair(kPairTitle, COLOR_WHITE, COLOR_BLUE);
    coloured = true;
  }
  erase();
  const ScreenLayout l = ComputeScreenLayout(LINES, COLS, state.keyHelp);
  if (!l.fits) {
    DrawTooSmall();
    curs_set(0);
    refresh();
    return;
  }
  DrawMenuBar(state, view, l.menuBar);
  Cursor cursor = DrawWindow(state, view, l.window, root);
  DrawPanel(state, view, l.panel);
  DrawScope(state, traffic, view, l.scope);
  DrawNotice(state, l.notice);
  DrawHelp(l.help);
  DrawDropdown(state, view, l);
  DrawAlert(view);
  const bool showCursor =
      cursor.row >= 0 && view.dropdown.kind == Dropdown::Kind::kNone &&
      view.alerts.empty() && view.prompt.kind == Prompt::Kind::kNone;
  curs_set(showCursor ? 1 : 0);
  if (showCursor) move(cursor.row, cursor.col);
  refresh();
}

}  // namespace sim::tui
