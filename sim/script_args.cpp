#include "sim/script_args.h"

#include <cstdlib>

#include "core/fourcc.h"
#include "sim/win_file.h"

namespace sim {

ScriptArgs::ScriptArgs(const std::string& line) : line_(line) {
  std::size_t i = 0;
  while (true) {
    i = line_.find_first_not_of(" \t", i);
    if (i == std::string::npos) break;
    std::size_t end = line_.find_first_of(" \t", i);
    if (end == std::string::npos) end = line_.size();
    words_.push_back(line_.substr(i, end - i));
    ends_.push_back(end);
    i = end;
  }
}

const std::string& ScriptArgs::word(std::size_t i) const {
  if (i >= words_.size())
    throw ScriptError("missing argument " + std::to_string(i));
  return words_[i];
}

std::string ScriptArgs::rest(std::size_t n) const {
  if (n == 0) return line_;
  if (n > ends_.size()) return "";
  std::size_t start = line_.find_first_not_of(" \t", ends_[n - 1]);
  return start == std::string::npos ? "" : line_.substr(start);
}

double ScriptArgs::number(std::size_t i) const {
  const std::string& w = word(i);
  char* end = nullptr;
  double value = std::strtod(w.c_str(), &end);
  if (end == w.c_str() || *end != '\0') throw ScriptError("not a number: " + w);
  return value;
}

int ScriptArgs::integer(std::size_t i) const {
  const std::string& w = word(i);
  int value = 0;
  if (w.size() == 6 && w.front() == '\'')
    throw ScriptError("not a number: " + w);
  if (!ParseItemId(w, &value)) throw ScriptError("not an integer: " + w);
  return value;
}

std::uint32_t ScriptArgs::code(std::size_t i) const {
  std::string w = word(i);
  if (w.size() == 6 && w.front() == '\'' && w.back() == '\'')
    w = w.substr(1, 4);
  std::uint32_t value = 0;
  if (!ParseCode(w, &value))
    throw ScriptError("not a four-character code: " + w);
  return value;
}

int ScriptArgs::itemId(std::size_t i) const {
  const std::string& w = word(i);
  int value = 0;
  if (ParseItemId(w, &value)) return value;
  if (w.size() == 4) return static_cast<int>(talvix::FourCCFromText(w));
  throw ScriptError("not an item id: " + w);
}

}  // namespace sim
