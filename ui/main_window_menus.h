// The three menus of the main window: connection, ATC and help.
#pragma once

#include <cstdint>

namespace talvix {

void OnConnectionMenu(std::uint32_t item);
void OnAtcMenu(std::uint32_t item);
void OnHelpMenu(std::uint32_t item);

}  // namespace talvix
