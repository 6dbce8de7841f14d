// The Windows side of the host: the plug-in is a DLL loaded with LoadLibrary,
// as the simulator itself loads it.
#include <windows.h>

#include <cstdio>

#include "sim/plugin_loader.h"

namespace sim {

namespace {

std::string LastErrorText(const std::string& path) {
  DWORD code = GetLastError();
  char text[256] = "";
  DWORD n =
      FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, code, 0, text, sizeof text, nullptr);
  while (n > 0 && (text[n - 1] == '\r' || text[n - 1] == '\n')) text[--n] = 0;
  char line[400];
  std::snprintf(line, sizeof line, "cannot load %s: error %lu %s", path.c_str(),
                static_cast<unsigned long>(code), text);
  return line;
}

}  // namespace

std::unique_ptr<SharedLibrary> SharedLibrary::open(const std::string& path,
                                                   std::string* error) {
  // No error boxes: a missing library is reported, not shown in a dialog.
  UINT previous = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  HMODULE module = LoadLibraryA(path.c_str());
  SetErrorMode(previous);
  if (module == nullptr) {
    if (error) *error = LastErrorText(path);
    return nullptr;
  }
  return std::unique_ptr<SharedLibrary>(
      new SharedLibrary(reinterpret_cast<void*>(module), path));
}

SharedLibrary::~SharedLibrary() {
  if (handle_) FreeLibrary(static_cast<HMODULE>(handle_));
}

void* SharedLibrary::symbol(const char* name) const {
  FARPROC address = GetProcAddress(static_cast<HMODULE>(handle_), name);
  return reinterpret_cast<void*>(address);
}

// Windows finds "name.dll"; the simulator names libraries without extension.
std::string LibraryFileName(const std::string& name) { return name + ".dll"; }

std::string DefaultPluginFileName() { return "talvix.dll"; }

std::string ExecutableDirectory() {
  char buffer[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, buffer, sizeof buffer);
  if (n == 0 || n >= sizeof buffer) return "";
  std::string path(buffer, n);
  std::size_t slash = path.find_last_of("\\/");
  return slash == std::string::npos ? "" : path.substr(0, slash);
}

}  // namespace sim
