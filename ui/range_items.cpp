#include "ui/range_items.h"

#include "ui/window_codes.h"

namespace talvix {
namespace {

struct RangeItem {
  std::uint32_t item;
  int range;
};
constexpr RangeItem kItems[] = {
    {codes::kRange5, 5},   {codes::kRange10, 10},   {codes::kRange20, 20},
    {codes::kRange40, 40}, {codes::kRange100, 100}, {codes::kRangeNone, 0},
};

}  // namespace

int RangeForItem(std::uint32_t item) {
  for (const RangeItem& entry : kItems) {
    if (entry.item == item) return entry.range;
  }
  return 0;
}

std::uint32_t RangeItemFor(int range) {
  for (const RangeItem& entry : kItems) {
    if (entry.range == range) return entry.item;
  }
  return 0;
}

}  // namespace talvix
