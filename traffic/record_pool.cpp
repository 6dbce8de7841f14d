// Where traffic records live: one block with room for a full table and a
// few records in hand. A crowd that comes and goes takes and gives back
// cells of it without the heap, whose freeing of thousands of scattered
// records in one tick was most of that tick's own cost.
#include <cstddef>
#include <cstdint>
#include <new>

#include "traffic/traffic_table.h"

namespace talvix {
namespace {

#if defined(__SANITIZE_ADDRESS__)
// Under the address sanitizer every record comes from the heap, so it
// still sees each record's life.
constexpr bool kPooled = false;
#else
constexpr bool kPooled = true;
#endif

union Cell {
  Cell* next;  // while free
  alignas(TrafficRecord) unsigned char bytes[sizeof(TrafficRecord)];
};

constexpr std::size_t kCells = kTrafficSlots + 64;
// Zero-filled at load: a page of it costs memory once a record has used it.
Cell g_cells[kCells];
Cell* g_free = nullptr;     // the cells given back, the last one first
std::size_t g_touched = 0;  // cells handed out at least once

// Records are made and dropped on the simulator's thread only.
void* TakeCell() noexcept {
  if (g_free != nullptr) {
    Cell* cell = g_free;
    g_free = cell->next;
    return cell;
  }
  if (g_touched < kCells) return &g_cells[g_touched++];
  return nullptr;
}

bool IsCell(const void* memory) {
  const auto address = reinterpret_cast<std::uintptr_t>(memory);
  const auto first = reinterpret_cast<std::uintptr_t>(g_cells);
  return address >= first && address - first < sizeof g_cells;
}

}  // namespace

void* TrafficRecord::operator new(std::size_t size,
                                  const std::nothrow_t&) noexcept {
  if (kPooled && size == sizeof(TrafficRecord)) {
    if (void* cell = TakeCell()) return cell;
  }
  return ::operator new(size, std::nothrow);
}

void* TrafficRecord::operator new(std::size_t size) {
  void* memory = operator new(size, std::nothrow);
  if (memory == nullptr) throw std::bad_alloc();
  return memory;
}

void TrafficRecord::operator delete(void* memory) noexcept {
  if (!IsCell(memory)) {  // also null
    ::operator delete(memory);
    return;
  }
  Cell* cell = static_cast<Cell*>(memory);
  cell->next = g_free;
  g_free = cell;
}

void TrafficRecord::operator delete(void* memory,
                                    const std::nothrow_t&) noexcept {
  operator delete(memory);
}

}  // namespace talvix
