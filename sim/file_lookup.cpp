#include "sim/file_lookup.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <random>
#include <sstream>
#include <system_error>

namespace fs = std::filesystem;

namespace sim {
namespace {

bool SameNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

std::string FindFileNoCase(const std::string& root, const std::string& path) {
  std::string relative = path;
  std::replace(relative.begin(), relative.end(), '\\', '/');
  if (relative.empty()) return "";
  std::error_code ec;
  fs::path current =
      fs::path(relative).is_absolute() ? fs::path("/") : fs::path(root);
  std::stringstream parts(relative);
  std::string part;
  while (std::getline(parts, part, '/')) {
    if (part.empty() || part == ".") continue;
    fs::path exact = current / part;
    if (part == ".." || fs::exists(exact, ec)) {
      current = exact;
      continue;
    }
    bool found = false;
    for (fs::directory_iterator it(current, ec), end; !ec && it != end;
         it.increment(ec)) {
      if (SameNoCase(it->path().filename().string(), part)) {
        current = it->path();
        found = true;
        break;
      }
    }
    if (!found) return "";
  }
  if (!fs::is_regular_file(current, ec)) return "";
  return current.string();
}

std::string UniqueTempPath(const std::string& fileName) {
  static std::atomic<unsigned> counter{0};
  std::random_device device;
  auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  std::ostringstream name;
  name << "simhost-" << std::hex << device() << '-' << now << '-' << counter++;
  fs::path folder = fs::temp_directory_path() / name.str();
  std::error_code ec;
  fs::create_directories(folder, ec);
  return (folder / fileName).string();
}

}  // namespace sim
