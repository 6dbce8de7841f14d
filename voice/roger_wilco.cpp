// Roger Wilco is driven by starting its program, found through the
// registry, with a join or leave switch.
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/platform.h"
#include "voice/voice_control.h"

namespace talvix {
namespace {

constexpr char kProgram[] = "roger.exe";
constexpr std::size_t kCommandLineSize = 260;  // with the NUL
constexpr int kShowMinimisedNoActivate = 7;
constexpr int kShowNoActivate = 4;

// Only a program file named by an absolute path is started: not a value
// that names no file (empty, unexpanded, missing), not a batch file, which
// would run through the command interpreter, and not a relative path, which
// names another file whenever the current folder is another.
bool NamesProgramFile(const char* path) {
  constexpr char kSuffix[] = ".exe";
  constexpr std::size_t kSuffixLength = sizeof kSuffix - 1;
  const std::size_t length = std::strlen(path);
  if (length <= kSuffixLength) return false;
  for (std::size_t i = 0; i < kSuffixLength; ++i) {
    const unsigned char c =
        static_cast<unsigned char>(path[length - kSuffixLength + i]);
    if (std::tolower(c) != kSuffix[i]) return false;
  }
  // A quote inside would end the quoted path early on the command line.
  return std::strchr(path, '"') == nullptr && platform::IsAbsolutePath(path) &&
         platform::IsRegularFile(path);
}

// Registries often hold a path in double quotes, as a command line would
// write it: the path is what stands between them.
std::string Unquoted(const char* value) {
  const std::size_t length = std::strlen(value);
  if (length >= 2 && value[0] == '"' && value[length - 1] == '"') {
    return std::string(value + 1, length - 2);
  }
  return value;
}

// The program's path in double quotes, the switch and its argument as one
// command line: the program reads its arguments from that line, and a path
// with blanks (the usual install folder) would otherwise come apart into
// arguments before the switch. The program started is the file at that path
// and nothing else. A line that does not fit, quotes counted, is not
// started: cut, it could name another channel.
bool Start(const std::string& arguments, int showCode) {
  char value[kCommandLineSize];
  if (!platform::ReadAppPath(kProgram, value, sizeof value)) return false;
  const std::string path = Unquoted(value);
  if (!NamesProgramFile(path.c_str())) return false;
  const std::string commandLine = '"' + path + '"' + arguments;
  if (commandLine.size() >= kCommandLineSize) return false;
  return platform::StartProgram(path.c_str(), commandLine.c_str(), showCode);
}

}  // namespace

bool RogerWilcoJoin(const char* address) {
  if (address == nullptr) return false;
  return Start(std::string(" /join1 ") + address, kShowMinimisedNoActivate);
}

bool RogerWilcoLeave() { return Start(" /leave ", kShowNoActivate); }

}  // namespace talvix
