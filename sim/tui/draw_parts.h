// The pieces the screen is drawn with, shared by the drawing files.
#pragma once

#include <string>
#include <vector>

#include "sim/host_model.h"
#include "sim/tui/layout.h"
#include "sim/tui/scope.h"
#include "sim/tui/view_state.h"

namespace sim::tui::draw {

enum Pair { kPairScope = 1, kPairTarget, kPairRing, kPairTitle };
int Colour(Pair pair);

// Writes text clipped to width columns, one column a byte: the plug-in's
// texts are Latin-1, whose letters show as themselves on a UTF-8 terminal
// (ShownText); control bytes show as '?', so nothing the network sent can
// move the cursor.
void Put(int row, int col, const std::string& text, int width, int attr = 0);
void Fill(int row, int col, int width, int attr);
void Frame(const Rect& r, const std::string& title, bool active);

// Where the terminal's cursor goes: the end of the focused text field.
struct Cursor {
  int row = -1, col = -1;
};

// The plug-in's windows.
Cursor DrawWindow(const HostState& state, ViewState& view, const Rect& frame,
                  const std::string& root);
void DrawDropdown(const HostState& s, const ViewState& view,
                  const ScreenLayout& l);
std::string WindowName(const Window& w);

// The simulator's own parts.
void DrawMenuBar(const HostState& state, const ViewState& view, const Rect& r);
void DrawPanel(const HostState& s, const ViewState& view, const Rect& r);
void DrawScope(const HostState& s, const std::vector<ScopeTarget>& traffic,
               const ViewState& view, const Rect& frame);
void DrawNotice(const HostState& s, const Rect& r);
void DrawHelp(const Rect& r);
void DrawAlert(const ViewState& view);
void DrawTooSmall();

}  // namespace sim::tui::draw
