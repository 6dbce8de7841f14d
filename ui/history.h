// The message history: the list 'hist' of the main window. Every part
// reports to the user through it.
#pragma once

#include "platform/platform.h"

namespace talvix {

constexpr int kHistoryMaxLines = 200;
constexpr int kListRowHeightCode = 12;

// Appends one line and brings it into view; safe from a worker thread. The
// line is kept also while the main window is closed.
void AddHistoryLine(const char* text);
// Empties the history and leaves the empty head row.
void ClearHistory();
// Fills the list of a newly created main window with the kept lines: the
// empty head row, then the lines oldest first, the newest in view.
void ShowHistory();

// Holds off every post for a scope: the main window is created and filled
// while no worker writes into a list that is being replaced.
class HistoryHold {
 public:
  HistoryHold();
  HistoryHold(const HistoryHold&) = delete;
  HistoryHold& operator=(const HistoryHold&) = delete;

 private:
  platform::LockGuard hold_;
};

}  // namespace talvix
