// The message history: the list 'hist' of the main window. Every part
// reports to the user through it.
#pragma once

namespace talvix {

constexpr int kHistoryMaxLines = 200;
constexpr int kListRowHeightCode = 12;

// Appends one line and brings it into view; safe from a worker thread.
void AddHistoryLine(const char* text);
// Empties the history and leaves the empty head row.
void ClearHistory();

}  // namespace talvix
