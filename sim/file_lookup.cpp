#include "sim/file_lookup.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <map>
#include <mutex>
#include <random>
#include <sstream>
#include <system_error>
#include <utility>
#include <vector>

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

// The lookup itself; folders receives every folder a name was looked up in.
std::string Resolve(const std::string& root, const std::string& path,
                    std::vector<std::string>* folders) {
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
    folders->push_back(current.string());
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

// A found file stays found while none of the folders it was looked up in
// has changed since. A folder changed within the file system's timestamp
// granularity of the lookup might change again unseen, so such a result is
// not kept.
struct Found {
  std::string file;
  std::vector<std::pair<std::string, fs::file_time_type>> folders;
};

bool Modified(const std::string& folder, fs::file_time_type* out) {
  std::error_code ec;
  *out = fs::last_write_time(folder, ec);
  return !ec;
}

bool StillValid(const Found& found) {
  fs::file_time_type now;
  for (const auto& [folder, modified] : found.folders)
    if (!Modified(folder, &now) || now != modified) return false;
  return true;
}

bool SettledBefore(fs::file_time_type modified, fs::file_time_type lookedUp) {
  return lookedUp - modified > std::chrono::milliseconds(50);
}

constexpr std::size_t kFoundKept = 1024;
std::mutex g_foundLock;
std::map<std::pair<std::string, std::string>, Found> g_found;

}  // namespace

std::string FindFileNoCase(const std::string& root, const std::string& path) {
  const auto key = std::make_pair(root, path);
  {
    std::lock_guard<std::mutex> hold(g_foundLock);
    auto it = g_found.find(key);
    if (it != g_found.end()) {
      if (StillValid(it->second)) return it->second.file;
      g_found.erase(it);
    }
  }
  const fs::file_time_type lookedUp = fs::file_time_type::clock::now();
  std::vector<std::string> folders;
  Found found{Resolve(root, path, &folders), {}};
  if (found.file.empty()) return "";
  for (const auto& folder : folders) {
    fs::file_time_type modified;
    if (!Modified(folder, &modified) || !SettledBefore(modified, lookedUp))
      return found.file;
    found.folders.emplace_back(folder, modified);
  }
  std::lock_guard<std::mutex> hold(g_foundLock);
  if (g_found.size() >= kFoundKept) g_found.clear();  // roots come and go
  g_found[key] = found;
  return found.file;
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
