// Finds files the way the simulator's own system does: backslashes separate
// folders and names match whatever their case.
#pragma once

#include <string>

namespace sim {

// The existing file for a path relative to root (or absolute), or "".
std::string FindFileNoCase(const std::string& root, const std::string& path);

// A unique path in the temporary folder, ending in the given file name.
std::string UniqueTempPath(const std::string& fileName);

}  // namespace sim
