// Reads a window description (.win) file into a window's controls. The
// format is described in WIN_FORMAT.md beside this file.
#pragma once

#include <string>

#include "sim/model_types.h"

namespace sim {

// Fills window.title and window.controls from the text. Returns false with
// a message naming the line when the text is not a valid description.
bool ParseWinText(const std::string& text, Window* window, std::string* error);

// Reads "'abcd'" as a four-character code and anything else as a decimal
// integer (optional sign). Returns false when it is neither.
bool ParseItemId(const std::string& text, int* id);

// A four-character code from exactly four characters.
bool ParseCode(const std::string& text, std::uint32_t* code);

}  // namespace sim
