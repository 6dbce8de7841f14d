#include "sim/settings_store.h"

#include <fstream>

namespace sim {

SettingsStore::SettingsStore(std::string path) : path_(std::move(path)) {
  load();
}

bool SettingsStore::get(const std::string& section, const std::string& key,
                        std::string* value) const {
  auto s = sections_.find(section);
  if (s == sections_.end()) return false;
  auto k = s->second.find(key);
  if (k == s->second.end()) return false;
  *value = k->second;
  return true;
}

void SettingsStore::set(const std::string& section, const std::string& key,
                        const std::string& value) {
  sections_[section][key] = value;
  save();
}

void SettingsStore::load() {
  std::ifstream in(path_);
  std::string line, section;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      continue;
    }
    std::size_t eq = line.find('=');
    if (eq == std::string::npos) continue;
    sections_[section][line.substr(0, eq)] = line.substr(eq + 1);
  }
}

void SettingsStore::save() const {
  std::ofstream out(path_, std::ios::trunc);
  for (const auto& [name, keys] : sections_) {
    out << '[' << name << "]\n";
    for (const auto& [key, value] : keys) out << key << '=' << value << '\n';
  }
}

}  // namespace sim
