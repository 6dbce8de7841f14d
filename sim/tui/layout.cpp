#include "sim/tui/layout.h"

#include <algorithm>

#include "core/fourcc.h"

namespace sim::tui {
namespace {

constexpr int kFieldWidth = 20;  // a text field without a width of its own
constexpr int kLabelWidth = 14;  // a label's text changes: room for it
constexpr int kMinListRows = 3;
// A popup's items come and go: it keeps one width (room for an IP
// address), so that the controls after it stay where they are.
constexpr int kPopupWidth = 15;

bool Stretches(ControlKind kind) {
  return kind == ControlKind::kList || kind == ControlKind::kPicture;
}

bool Hidden(ControlKind kind) {
  return kind == ControlKind::kMenu || kind == ControlKind::kControl;
}

int TextWidth(const std::string& text) { return static_cast<int>(text.size()); }

// The columns a flowing control wants, caption included.
int NaturalWidth(const Control& c) {
  const int caption = TextWidth(ControlCaption(c));
  switch (c.kind) {
    case ControlKind::kText:
      return caption + 2 + (c.width > 0 ? c.width : kFieldWidth) + 2;
    case ControlKind::kLabel:
      return c.width > 0 ? c.width
                         : std::max(kLabelWidth, TextWidth(LabelText(c)) + 1);
    case ControlKind::kButton: return caption + 4;
    case ControlKind::kCheck: return caption + 4;
    case ControlKind::kPopup: {
      const int widest = c.width > 0 ? c.width : kPopupWidth;
      return caption + 2 + widest + 2;
    }
    default: return caption;
  }
}

}  // namespace

std::string LabelText(const Control& c) {
  return c.caption.empty() ? c.text : c.caption + " " + c.text;
}

std::string ControlCaption(const Control& c) {
  if (!c.caption.empty()) return c.caption;
  if ((c.kind == ControlKind::kButton || c.kind == ControlKind::kCheck ||
       c.kind == ControlKind::kMenu) &&
      !c.text.empty())
    return c.text;
  if (c.kind == ControlKind::kList && c.columns.size() == 1 &&
      !c.columns.front().title.empty())
    return c.columns.front().title;
  // The code is the plug-in's business; the person gets a plain name.
  switch (c.kind) {
    case ControlKind::kText: return "Text";
    case ControlKind::kLabel: return "Label";
    case ControlKind::kButton: return "Button";
    case ControlKind::kCheck: return "Check box";
    case ControlKind::kPopup: return "Choice";
    case ControlKind::kList: return "List";
    case ControlKind::kPicture: return "Picture";
    case ControlKind::kMenu: return "Menu";
    case ControlKind::kControl: break;
  }
  return "Control";
}

bool IsFocusable(ControlKind kind) {
  return kind == ControlKind::kText || kind == ControlKind::kButton ||
         kind == ControlKind::kCheck || kind == ControlKind::kPopup ||
         kind == ControlKind::kList;
}

ScreenLayout ComputeScreenLayout(int rows, int cols, bool keyHelp) {
  ScreenLayout l;
  if (rows < kMinRows || cols < kMinCols) return l;
  l.fits = true;
  const int right = std::clamp(cols * 2 / 5, kPanelWidth, 72);
  const int helpRows = keyHelp ? 2 : 0;
  const int below = helpRows + 1;  // the notice line and the help
  l.menuBar = {0, 0, 1, cols};
  l.help = {rows - helpRows, 0, helpRows, cols};
  l.notice = {rows - below, 0, 1, cols};
  l.window = {1, 0, rows - 1 - below, cols - right};
  l.panel = {1, cols - right, kPanelRows, right};
  l.scope = {1 + kPanelRows, cols - right, rows - 1 - below - kPanelRows,
             right};
  return l;
}

Rect ContentArea(const Rect& frame) {
  // Border all round and the window's menu line under the top border.
  return {frame.row + 2, frame.col + 1, std::max(0, frame.height - 3),
          std::max(0, frame.width - 2)};
}

std::vector<ControlPlace> LayoutControls(const Window& window, int height,
                                         int width) {
  // Rows first: a stretching control alone, or a line of flowing ones.
  struct Line {
    bool stretch = false;
    std::vector<std::pair<std::size_t, int>> items;  // index, width
  };
  std::vector<Line> lines;
  int used = 0;
  bool form = true;
  int captionWidth = 0;
  for (const Control& c : window.controls) {
    if (Stretches(c.kind)) form = false;
    if (c.kind == ControlKind::kText || c.kind == ControlKind::kPopup)
      captionWidth = std::max(captionWidth, TextWidth(ControlCaption(c)));
  }
  if (!form) captionWidth = 0;
  for (std::size_t i = 0; i < window.controls.size(); ++i) {
    const Control& c = window.controls[i];
    if (Hidden(c.kind)) continue;
    if (form) {
      // Buttons and check boxes sit side by side, fields a row each.
      auto small = [](ControlKind kind) {
        return kind == ControlKind::kButton || kind == ControlKind::kCheck;
      };
      const bool field =
          c.kind == ControlKind::kText || c.kind == ControlKind::kPopup;
      const int pad = field ? captionWidth - TextWidth(ControlCaption(c)) : 0;
      // A text field has its row to itself: it shows as much as the row
      // holds, unless the window file gives it a width.
      const bool wholeRow = c.kind == ControlKind::kText && c.width <= 0;
      const int w = wholeRow ? width : std::min(NaturalWidth(c) + pad, width);
      if (lines.empty() || !small(c.kind) || used + w > width ||
          !small(window.controls[lines.back().items.back().first].kind)) {
        lines.push_back({false, {}});
        used = 0;
      }
      lines.back().items.push_back({i, w});
      used += w + 1;
      continue;
    }
    if (Stretches(c.kind) || c.width == 0) {
      lines.push_back({Stretches(c.kind), {{i, width}}});
      continue;
    }
    const int w = std::min(NaturalWidth(c), width);
    if (lines.empty() || lines.back().stretch ||
        lines.back().items.front().second == width || used + w > width) {
      lines.push_back({false, {}});
      used = 0;
    }
    lines.back().items.push_back({i, w});
    used += w + 1;
  }
  int fixedRows = 0, stretchCount = 0;
  for (const Line& line : lines) line.stretch ? ++stretchCount : ++fixedRows;
  const int spare = height - fixedRows;
  const int share = stretchCount ? spare / stretchCount : 0;
  int extra = stretchCount ? spare % stretchCount : 0;

  std::vector<ControlPlace> places;
  int row = 0;
  for (const Line& line : lines) {
    int h = 1;
    if (line.stretch) {
      h = share + (extra > 0 ? 1 : 0);
      if (extra > 0) --extra;
      if (h < kMinListRows) h = std::max(0, std::min(h, height - row));
    }
    if (h <= 0 || row + h > height) break;
    int col = 0;
    for (const auto& [index, w] : line.items) {
      places.push_back({index, {row, col, h, w}, captionWidth});
      col += w + 1;
    }
    row += h;
  }
  return places;
}

}  // namespace sim::tui
