#include <dlfcn.h>
#include <unistd.h>

#include <climits>

#include "sim/plugin_loader.h"

namespace sim {

std::unique_ptr<SharedLibrary> SharedLibrary::open(const std::string& path,
                                                   std::string* error) {
  // RTLD_LOCAL keeps each loaded copy's symbols to itself.
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    if (error) {
      const char* why = dlerror();
      *error = why ? why : "cannot load " + path;
    }
    return nullptr;
  }
  return std::unique_ptr<SharedLibrary>(new SharedLibrary(handle, path));
}

SharedLibrary::~SharedLibrary() {
  if (handle_) dlclose(handle_);
}

void* SharedLibrary::symbol(const char* name) const {
  return dlsym(handle_, name);
}

std::string LibraryFileName(const std::string& name) {
  return "lib" + name + ".so";
}

std::string DefaultPluginFileName() { return "talvix.so"; }

std::string ExecutableDirectory() {
  char buffer[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return "";
  std::string path(buffer, static_cast<std::size_t>(n));
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "" : path.substr(0, slash);
}

}  // namespace sim
