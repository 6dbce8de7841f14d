// Stands in for the voice program started through the registry: writes its
// command line arguments, one per line, to "roger_args.txt" beside itself, so
// the test can see that it was started and with what. On Windows it first
// writes "roger_start.txt" beside it: the command line exactly as received,
// and the window show code it was started with ("show 7"; "show none" when
// none was given). Built for Windows and for Linux.
#if defined(_WIN32)
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <cstdio>
#include <string>

namespace {

// The folder of this program, with its separator at the end.
bool OwnFolder(std::string* folder) {
  char path[4096];
#if defined(_WIN32)
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return false;
  const char separator = '\\';
#else
  ssize_t length = readlink("/proc/self/exe", path, sizeof path - 1);
  if (length <= 0) return false;
  const char separator = '/';
#endif
  const std::string self(path, static_cast<std::size_t>(length));
  const std::size_t slash = self.rfind(separator);
  if (slash == std::string::npos) return false;
  *folder = self.substr(0, slash + 1);
  return true;
}

bool Replace(const std::string& from, const std::string& to) {
#if defined(_WIN32)
  return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

// Written to a temporary name and renamed, so a reader never sees half.
bool WriteWhole(const std::string& path, const std::string& text) {
  const std::string partial = path + ".part";
  std::FILE* out = std::fopen(partial.c_str(), "wb");
  if (out == nullptr) return false;
  const bool written =
      std::fwrite(text.data(), 1, text.size(), out) == text.size();
  return std::fclose(out) == 0 && written && Replace(partial, path);
}

}  // namespace

int main(int argc, char** argv) {
  std::string folder;
  if (!OwnFolder(&folder)) return 2;
#if defined(_WIN32)
  STARTUPINFOA startup;
  GetStartupInfoA(&startup);
  std::string start = std::string(GetCommandLineA()) + "\nshow ";
  if (startup.dwFlags & STARTF_USESHOWWINDOW) {
    start += std::to_string(startup.wShowWindow);
  } else {
    start += "none";
  }
  if (!WriteWhole(folder + "roger_start.txt", start + "\n")) return 3;
#endif
  std::string arguments;
  for (int i = 1; i < argc; ++i) arguments += std::string(argv[i]) + "\n";
  return WriteWhole(folder + "roger_args.txt", arguments) ? 0 : 3;
}
