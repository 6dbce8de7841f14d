// A Windows program's arguments read from its command line, so that a
// program started by the Linux stand-in receives what it would on Windows.
#include "platform/command_line_words.h"

namespace talvix::platform {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The program's name: the first word, or all up to the closing quote.
const char* ProgramName(const char* c, std::vector<std::string>* words) {
  std::string name;
  if (*c == '"') {
    for (++c; *c != '\0' && *c != '"'; ++c) name += *c;
    if (*c == '"') ++c;
  } else {
    for (; *c != '\0' && !IsBlank(*c); ++c) name += *c;
  }
  words->push_back(name);
  return c;
}

}  // namespace

std::vector<std::string> CommandLineWords(const char* commandLine) {
  std::vector<std::string> words;
  const char* c = ProgramName(commandLine, &words);
  while (true) {
    while (IsBlank(*c)) ++c;
    if (*c == '\0') return words;
    std::string word;
    bool quoted = false;
    for (; *c != '\0' && (quoted || !IsBlank(*c)); ++c) {
      std::size_t backslashes = 0;
      while (c[backslashes] == '\\') ++backslashes;
      if (c[backslashes] == '"') {
        word.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
          word += '"';
        } else {
          quoted = !quoted;
        }
        c += backslashes;
      } else if (backslashes > 0) {
        word.append(backslashes, '\\');
        c += backslashes - 1;
      } else {
        word += *c;
      }
    }
    words.push_back(word);
  }
}

}  // namespace talvix::platform
