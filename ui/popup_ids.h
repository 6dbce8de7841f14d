// Ids for the items of a main window popup whose entries come and go. The
// lists number an entry by its position when it was added, and positions
// repeat once earlier entries leave: two listed entries could then share an
// item id and removing one would take the other's item. The pool hands out
// ids unique among the entries listed.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace talvix {

class PopupIdPool {
 public:
  // Ids first..last may be handed out.
  PopupIdPool(std::int32_t first, std::int32_t last);
  // The preferred id when it is free (always so without removals), else the
  // smallest free one; -1 when every id is taken.
  std::int32_t take(std::int32_t preferred);
  // Frees an id taken before; ids outside the range are ignored.
  void release(std::int32_t id);
  bool inUse(std::int32_t id) const;

 private:
  bool contains(std::int32_t id) const;
  void mark(std::size_t bit, bool used);

  std::int32_t first_;
  std::size_t size_;
  std::vector<std::uint64_t> used_;  // a bit per id, 1: taken
};

}  // namespace talvix
