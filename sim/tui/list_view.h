// How a list and a text field fit their place on the screen: rows wrapped
// onto screen lines, the lines shown, and the part of a field around its
// cursor. No terminal is needed here.
#pragma once

#include <string>
#include <vector>

#include "sim/model_types.h"
#include "sim/tui/view_state.h"

namespace sim::tui {

// Cuts text into lines of at most width columns, at a blank where there is
// one (the blank is dropped), else in the middle of a word. An empty text
// is one empty line.
std::vector<std::string> WrapText(const std::string& text, int width);

// The columns share the width in proportion to the widths the plug-in gave;
// the last takes what is left. Each keeps room for its title and its
// widest cell (up to ten columns), so short codes stay on one line.
std::vector<int> ColumnWidths(
    const std::vector<ListColumn>& columns, int width,
    const std::vector<std::vector<std::string>>& rows = {});

// One screen line of a list: a piece of each cell of one row.
struct ListLine {
  int row = 0;
  std::vector<std::string> cells;
};

// Every row as the screen lines it needs, each cell wrapped within its
// column (the gap of one column between cells is not counted in it).
std::vector<ListLine> ListLines(const Control& list,
                                const std::vector<int>& widths);

// Chooses the first line shown: a newly selected row comes into view (its
// start, when it is taller than the list), and a list the person has not
// scrolled follows its newest lines.
void PlaceListView(ListView& view, const std::vector<ListLine>& lines,
                   int selectedRow, int visible);

// PgUp and PgDn: a page of screen lines up (-1) or down (1); paging down to
// the end makes the list follow its newest lines again.
void PageList(ListView& view, int direction);

// The row selected after paging a list whose row selectedRow was selected
// and whose first line shown was top before: the row at the same place on
// the new page; when the page could not move, the first or the last row.
// -1 when the list was never drawn or has no rows.
int PagedRow(const ListView& view, int top, int selectedRow, int direction);

// The part of a text field shown in width columns: from its start, unless
// the cursor (an index into text, text.size() at the end) would fall
// outside; then it scrolls just enough to show the cursor.
std::size_t FieldStart(std::size_t textSize, std::size_t cursor, int width);

// Where the cursor of a text field is: where the person moved it, else at
// the end of the text.
std::size_t FieldCursor(const ViewState& view, std::uint32_t window,
                        const Control& field);

// A text of the plug-in (Latin-1 bytes) as the terminal is sent it: UTF-8
// where the terminal speaks it, else its letters beyond ASCII as '?';
// control bytes always as '?'. One character a byte, so one column each.
std::string ShownText(const std::string& latin1, bool utf8);

}  // namespace sim::tui
