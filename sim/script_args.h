// The words of one script line, and the rest of the line after any word.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace sim {

// A script line that cannot be carried out.
struct ScriptError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

class ScriptArgs {
 public:
  explicit ScriptArgs(const std::string& line);

  std::size_t count() const { return words_.size(); }
  const std::string& word(std::size_t i) const;  // throws when missing
  bool has(std::size_t i) const { return i < words_.size(); }
  // Everything after the first n words and the blanks that follow them.
  std::string rest(std::size_t n) const;

  double number(std::size_t i) const;
  int integer(std::size_t i) const;
  std::uint32_t code(std::size_t i) const;  // four characters
  int itemId(std::size_t i) const;          // number, 'code' or code

 private:
  std::string line_;
  std::vector<std::string> words_;
  std::vector<std::size_t> ends_;  // where each word ends in the line
};

}  // namespace sim
