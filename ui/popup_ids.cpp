#include "ui/popup_ids.h"

namespace talvix {
namespace {

constexpr std::size_t kBitsPerWord = 64;

}  // namespace

PopupIdPool::PopupIdPool(std::int32_t first, std::int32_t last)
    : first_(first),
      size_(static_cast<std::size_t>(last - first + 1)),
      used_((size_ + kBitsPerWord - 1) / kBitsPerWord, 0) {
  // The bits past the last id read as taken, so no scan hands them out.
  const std::size_t tail = size_ % kBitsPerWord;
  if (tail != 0) used_.back() = ~std::uint64_t{0} << tail;
}

bool PopupIdPool::contains(std::int32_t id) const {
  const std::int64_t slot = static_cast<std::int64_t>(id) - first_;
  return slot >= 0 && slot < static_cast<std::int64_t>(size_);
}

bool PopupIdPool::inUse(std::int32_t id) const {
  if (!contains(id)) return false;
  const auto bit = static_cast<std::size_t>(id - first_);
  return (used_[bit / kBitsPerWord] >> (bit % kBitsPerWord)) & 1u;
}

void PopupIdPool::mark(std::size_t bit, bool used) {
  const std::uint64_t mask = std::uint64_t{1} << (bit % kBitsPerWord);
  if (used) {
    used_[bit / kBitsPerWord] |= mask;
  } else {
    used_[bit / kBitsPerWord] &= ~mask;
  }
}

std::int32_t PopupIdPool::take(std::int32_t preferred) {
  if (contains(preferred) && !inUse(preferred)) {
    mark(static_cast<std::size_t>(preferred - first_), true);
    return preferred;
  }
  // A word at a time: the smallest free id costs the same whatever the
  // number of pilots listed.
  for (std::size_t word = 0; word < used_.size(); ++word) {
    if (used_[word] == ~std::uint64_t{0}) continue;
    const auto bit = word * kBitsPerWord +
                     static_cast<std::size_t>(__builtin_ctzll(~used_[word]));
    mark(bit, true);
    return first_ + static_cast<std::int32_t>(bit);
  }
  return -1;
}

void PopupIdPool::release(std::int32_t id) {
  if (inUse(id)) mark(static_cast<std::size_t>(id - first_), false);
}

}  // namespace talvix
