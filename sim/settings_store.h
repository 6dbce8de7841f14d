// The simulator's settings store: sections of key=value pairs kept in one
// INI-style file, read once at start and written again after every change.
#pragma once

#include <map>
#include <string>

namespace sim {

class SettingsStore {
 public:
  using Section = std::map<std::string, std::string>;

  // Reads the file when it exists; a missing file is an empty store.
  explicit SettingsStore(std::string path);

  bool get(const std::string& section, const std::string& key,
           std::string* value) const;
  // Stores the value and rewrites the file.
  void set(const std::string& section, const std::string& key,
           const std::string& value);

  const std::map<std::string, Section>& sections() const { return sections_; }
  const std::string& path() const { return path_; }

 private:
  void load();
  void save() const;

  std::string path_;
  std::map<std::string, Section> sections_;
};

}  // namespace sim
