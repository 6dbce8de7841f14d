// The message history lives in the host's list 'hist'; the plug-in keeps no
// copy of its lines. Row 0 is an empty head row, message lines follow.
#include "ui/history.h"

#include "core/host.h"
#include "platform/platform.h"
#include "ui/window_codes.h"

namespace talvix {
namespace {

// The receiver thread posts its guard line while the simulator's thread may
// post too. Each host call is safe on its own, but the read-count, trim,
// append, write sequence is not: two posters could write into the same row
// or leave one empty. One lock keeps each post whole.
platform::Lock& HistoryLock() {
  static platform::Lock lock;
  return lock;
}

constexpr std::uint32_t kWindow = codes::kMainWindow;
constexpr std::uint32_t kList = codes::kHistory;

}  // namespace

void AddHistoryLine(const char* text) {
  if (text == nullptr) text = "";
  platform::LockGuard hold(HistoryLock());
  if (host::ListRowCount(kWindow, kList) > kHistoryMaxLines) {
    host::ListDeleteRow(kWindow, kList, 1);  // the oldest line; row 0 stays
  }
  host::ListAppendRow(kWindow, kList, kListRowHeightCode);
  const int rows = host::ListRowCount(kWindow, kList);
  if (rows <= 0) {
    // No list to append to (the window is closed): the line is dropped.
    host::ListAppendRow(kWindow, kList, kListRowHeightCode);
    return;
  }
  host::ListSetCell(kWindow, kList, rows - 1, 0, text);
  host::ScrollToRow(kWindow, kList, rows - 1);
  host::Redraw(kWindow, kList);
}

void ClearHistory() {
  platform::LockGuard hold(HistoryLock());
  host::ListClearRows(kWindow, kList);
  host::ListAppendRow(kWindow, kList, kListRowHeightCode);
}

}  // namespace talvix
