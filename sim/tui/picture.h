// A picture the host shows, read from a plain or raw PBM file.
#pragma once

#include <string>
#include <vector>

namespace sim::tui {

struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<bool> ink;  // row by row; true is black
  bool at(int x, int y) const {
    return ink[static_cast<std::size_t>(y * width + x)];
  }
};

// False when the text is not a PBM of a sane size.
bool ParsePbm(const std::string& bytes, Bitmap* out);

}  // namespace sim::tui
