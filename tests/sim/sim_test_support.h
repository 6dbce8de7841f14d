// A throw-away simulator folder for one test: the example window, the
// airport table and a METAR file copied from data/, removed afterwards.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "sim/file_lookup.h"

namespace simtest {

class TempRoot {
 public:
  TempRoot() {
    path_ = std::filesystem::path(sim::UniqueTempPath("root"));
    std::filesystem::create_directories(path_);
    for (const char* name : {"txExample.win", "airports.txt", "EXAMPLE.metar"})
      std::filesystem::copy_file(
          std::filesystem::path(TALVIX_SOURCE_DIR) / "data" / name,
          path_ / name);
  }
  ~TempRoot() {
    std::error_code ec;
    std::filesystem::remove_all(path_.parent_path(), ec);
  }
  std::string str() const { return path_.string(); }
  std::string file(const std::string& name) const {
    return (path_ / name).string();
  }
  void write(const std::string& name, const std::string& text) const {
    std::filesystem::create_directories((path_ / name).parent_path());
    std::ofstream(path_ / name) << text;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(path_ / name);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }

 private:
  std::filesystem::path path_;
};

}  // namespace simtest
