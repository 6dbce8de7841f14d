// The message history. The host's list 'hist' shows it, but the list goes
// with the main window, which the user may close while connected; so the
// plug-in keeps the lines itself, with the same limit of 200, and a main
// window created again shows them all, those posted while it was closed
// among them. Row 0 of the list is an empty head row, message lines follow.
#include "ui/history.h"

#include <deque>
#include <new>
#include <string>

#include "core/host.h"
#include "ui/window_codes.h"

namespace talvix {
namespace {

// The receiver thread posts its guard line while the simulator's thread may
// post too, or fill a new window. Each host call is safe on its own, but the
// read-count, trim, append, write sequence is not: two posters could write
// into the same row or leave one empty, and the kept lines and the rows
// could part. One lock keeps each post whole.
platform::Lock& HistoryLock() {
  static platform::Lock lock;
  return lock;
}

// Oldest first; never more than kHistoryMaxLines.
std::deque<std::string>& Kept() {
  static std::deque<std::string> lines;
  return lines;
}

constexpr std::uint32_t kWindow = codes::kMainWindow;
constexpr std::uint32_t kList = codes::kHistory;

void Keep(const char* text) {
  std::deque<std::string>& kept = Kept();
  try {
    kept.emplace_back(text);
  } catch (const std::bad_alloc&) {
    return;  // still shown now, only not kept for a later window
  }
  while (kept.size() > static_cast<std::size_t>(kHistoryMaxLines)) {
    kept.pop_front();
  }
}

// The head row alone.
void EmptyList() {
  host::ListClearRows(kWindow, kList);
  host::ListAppendRow(kWindow, kList, kListRowHeightCode);
}

}  // namespace

void AddHistoryLine(const char* text) {
  if (text == nullptr) text = "";
  platform::LockGuard hold(HistoryLock());
  Keep(text);
  if (host::ListRowCount(kWindow, kList) > kHistoryMaxLines) {
    host::ListDeleteRow(kWindow, kList, 1);  // the oldest line; row 0 stays
  }
  host::ListAppendRow(kWindow, kList, kListRowHeightCode);
  const int rows = host::ListRowCount(kWindow, kList);
  if (rows <= 0) {
    // No list to append to (the window is closed): the line waits in the
    // kept lines for the next main window.
    host::ListAppendRow(kWindow, kList, kListRowHeightCode);
    return;
  }
  host::ListSetCell(kWindow, kList, rows - 1, 0, text);
  host::ScrollToRow(kWindow, kList, rows - 1);
  host::Redraw(kWindow, kList);
}

void ClearHistory() {
  platform::LockGuard hold(HistoryLock());
  Kept().clear();
  EmptyList();
}

HistoryHold::HistoryHold() : hold_(HistoryLock()) {}

void ShowHistory() {
  platform::LockGuard hold(HistoryLock());
  EmptyList();
  for (const std::string& line : Kept()) {
    host::ListAppendRow(kWindow, kList, kListRowHeightCode);
    const int rows = host::ListRowCount(kWindow, kList);
    if (rows <= 1) return;  // no list to fill
    host::ListSetCell(kWindow, kList, rows - 1, 0, line.c_str());
  }
  const int rows = host::ListRowCount(kWindow, kList);
  if (rows > 0) host::ScrollToRow(kWindow, kList, rows - 1);
  host::Redraw(kWindow, kList);
}

}  // namespace talvix
