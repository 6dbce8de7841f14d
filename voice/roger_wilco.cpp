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
constexpr int kStartedAbove = 30;

// Only a program file is started. For a value that names no file (empty,
// unexpanded, missing) the system would look for a program name further
// along the line, in the received address; a batch file would run through
// the command interpreter.
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
  return platform::IsRegularFile(path);
}

// The program's path, the switch and its argument as one command line. A
// line that does not fit is not started: cut, it could name another channel.
bool Start(const std::string& arguments, int showCode) {
  char path[kCommandLineSize];
  if (!platform::ReadAppPath(kProgram, path, sizeof path)) return false;
  if (!NamesProgramFile(path)) return false;
  const std::string commandLine = path + arguments;
  if (commandLine.size() >= kCommandLineSize) return false;
  return platform::StartProgram(commandLine.c_str(), showCode) > kStartedAbove;
}

}  // namespace

bool RogerWilcoJoin(const char* address) {
  if (address == nullptr) return false;
  return Start(std::string(" /join1 ") + address, kShowMinimisedNoActivate);
}

bool RogerWilcoLeave() { return Start(" /leave ", kShowNoActivate); }

}  // namespace talvix
