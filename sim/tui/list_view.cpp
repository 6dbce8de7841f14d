#include "sim/tui/list_view.h"

#include <algorithm>

namespace sim::tui {

std::vector<std::string> WrapText(const std::string& text, int width) {
  std::vector<std::string> lines;
  if (width <= 0) return {std::string()};
  const std::size_t w = static_cast<std::size_t>(width);
  std::size_t at = 0;
  while (text.size() - at > w) {
    std::size_t cut = text.rfind(' ', at + w);
    if (cut == std::string::npos || cut <= at) {
      lines.push_back(text.substr(at, w));  // a word longer than the line
      at += w;
      continue;
    }
    lines.push_back(text.substr(at, cut - at));
    at = cut + 1;
  }
  lines.push_back(text.substr(at));
  return lines;
}

std::vector<int> ColumnWidths(
    const std::vector<ListColumn>& columns, int width,
    const std::vector<std::vector<std::string>>& rows) {
  if (columns.empty()) return {width};
  // Each column keeps room for a short title and short cells, whatever its
  // share, and one column before the next.
  constexpr std::size_t kShortText = 10;
  std::vector<std::size_t> widest;
  for (const ListColumn& col : columns) widest.push_back(col.title.size());
  for (const auto& cells : rows)
    for (std::size_t k = 0; k < cells.size() && k < widest.size(); ++k)
      if (cells[k].size() <= kShortText)
        widest[k] = std::max(widest[k], cells[k].size());
  std::vector<int> least;
  for (std::size_t w : widest)
    least.push_back(std::clamp(static_cast<int>(std::min(w, kShortText)) + 1, 4,
                               static_cast<int>(kShortText) + 1));
  int total = 0;
  for (const ListColumn& col : columns) total += std::max(1, col.width);
  std::vector<int> widths;
  int left = width;
  for (std::size_t i = 0; i < columns.size(); ++i) {
    int after = 0;
    for (std::size_t k = i + 1; k < columns.size(); ++k) after += least[k];
    int w = i + 1 == columns.size()
                ? left
                : std::max(least[i], width * std::max(1, columns[i].width) /
                                         std::max(1, total));
    w = std::clamp(w, 0, std::max(0, left - after));
    widths.push_back(w);
    left -= w;
  }
  return widths;
}

std::vector<ListLine> ListLines(const Control& list,
                                const std::vector<int>& widths) {
  std::vector<ListLine> lines;
  for (std::size_t r = 0; r < list.rows.size(); ++r) {
    const auto& cells = list.rows[r];
    std::vector<std::vector<std::string>> wrapped;
    std::size_t height = 1;
    for (std::size_t k = 0; k < widths.size() && k < cells.size(); ++k) {
      // Every cell but the last leaves one column free before the next.
      const int w = widths[k] - (k + 1 < widths.size() ? 1 : 0);
      wrapped.push_back(WrapText(cells[k], w));
      height = std::max(height, wrapped.back().size());
    }
    for (std::size_t i = 0; i < height; ++i) {
      ListLine line;
      line.row = static_cast<int>(r);
      for (const auto& cell : wrapped)
        line.cells.push_back(i < cell.size() ? cell[i] : std::string());
      lines.push_back(std::move(line));
    }
  }
  return lines;
}

void PlaceListView(ListView& view, const std::vector<ListLine>& lines,
                   int selectedRow, int visible) {
  const int count = static_cast<int>(lines.size());
  view.visible = visible;
  view.lines = count;
  view.lineRows.clear();
  for (const ListLine& line : lines) view.lineRows.push_back(line.row);
  const int last = std::max(0, count - visible);
  if (selectedRow >= 0 && selectedRow != view.shownSelected) {
    int start = -1, end = -1;  // the row's lines, end one past
    for (int i = 0; i < count; ++i) {
      if (lines[static_cast<std::size_t>(i)].row != selectedRow) continue;
      if (start < 0) start = i;
      end = i + 1;
    }
    if (start >= 0) {
      if (start < view.top || end - start > visible) {
        view.top = start;
      } else if (end > view.top + visible) {
        view.top = end - visible;
      }
      view.pinned = true;
    }
  }
  if (selectedRow < 0 && view.shownSelected >= 0) view.pinned = false;
  view.shownSelected = selectedRow;
  if (!view.pinned) view.top = last;
  view.top = std::clamp(view.top, 0, last);
}

void PageList(ListView& view, int direction) {
  const int page = std::max(1, view.visible - 1);
  const int last = std::max(0, view.lines - view.visible);
  view.top = std::clamp(view.top + direction * page, 0, last);
  view.pinned = !(direction > 0 && view.top == last);
}

int PagedRow(const ListView& view, int top, int selectedRow, int direction) {
  const auto& rows = view.lineRows;
  if (rows.empty()) return -1;
  const int count = static_cast<int>(rows.size());
  if (view.top == top) return direction > 0 ? rows.back() : rows.front();
  auto first = std::find(rows.begin(), rows.end(), selectedRow);
  const int offset = first == rows.end() ? 0 : (first - rows.begin()) - top;
  const int line = std::clamp(view.top + offset, 0, count - 1);
  return rows[static_cast<std::size_t>(line)];
}

std::size_t FieldStart(std::size_t textSize, std::size_t cursor, int width) {
  cursor = std::min(cursor, textSize);
  if (width <= 1) return cursor;
  const std::size_t w = static_cast<std::size_t>(width);
  // The cursor takes a cell of its own after the last character.
  return cursor < w ? 0 : cursor - (w - 1);
}

std::size_t FieldCursor(const ViewState& view, std::uint32_t window,
                        const Control& field) {
  auto found = view.cursors.find(ListKey(window, field.code));
  return found == view.cursors.end()
             ? field.text.size()
             : std::min(found->second, field.text.size());
}

std::string ShownText(const std::string& latin1, bool utf8) {
  std::string shown;
  for (const char c : latin1) {
    const auto u = static_cast<unsigned char>(c);
    if (u >= 32 && u < 127) {
      shown += c;
    } else if (u >= 0xA0 && utf8) {
      shown += static_cast<char>(0xC0 | (u >> 6));
      shown += static_cast<char>(0x80 | (u & 0x3F));
    } else {
      shown += '?';
    }
  }
  return shown;
}

}  // namespace sim::tui
