#include "ui/popup_ids.h"

namespace talvix {

PopupIdPool::PopupIdPool(std::int32_t first, std::int32_t last)
    : first_(first), used_(static_cast<std::size_t>(last - first + 1), false) {}

bool PopupIdPool::inUse(std::int32_t id) const {
  const std::int64_t slot = static_cast<std::int64_t>(id) - first_;
  return slot >= 0 && slot < static_cast<std::int64_t>(used_.size()) &&
         used_[static_cast<std::size_t>(slot)];
}

std::int32_t PopupIdPool::take(std::int32_t preferred) {
  const std::int64_t slot = static_cast<std::int64_t>(preferred) - first_;
  if (slot >= 0 && slot < static_cast<std::int64_t>(used_.size()) &&
      !used_[static_cast<std::size_t>(slot)]) {
    used_[static_cast<std::size_t>(slot)] = true;
    return preferred;
  }
  for (std::size_t i = 0; i < used_.size(); ++i) {
    if (!used_[i]) {
      used_[i] = true;
      return first_ + static_cast<std::int32_t>(i);
    }
  }
  return -1;
}

void PopupIdPool::release(std::int32_t id) {
  if (inUse(id)) used_[static_cast<std::size_t>(id - first_)] = false;
}

}  // namespace talvix
