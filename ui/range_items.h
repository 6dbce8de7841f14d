// The items of the main window's range popup 'mp__' and their ranges.
#pragma once

#include <cstdint>

namespace talvix {

// Nautical miles of an item; 0 for 'mpno' and any unknown item.
int RangeForItem(std::uint32_t item);
// The item offering a range; 0 when none does.
std::uint32_t RangeItemFor(int range);

}  // namespace talvix
