// The operating system's side of the host: loading shared libraries and the
// few paths that differ between systems. plugin_loader_posix.cpp implements
// it with dlopen; a Windows build implements it with LoadLibrary.
#pragma once

#include <memory>
#include <string>

namespace sim {

class SharedLibrary {
 public:
  // Null with a reason in *error when the library cannot be loaded.
  static std::unique_ptr<SharedLibrary> open(const std::string& path,
                                             std::string* error);
  ~SharedLibrary();
  SharedLibrary(const SharedLibrary&) = delete;
  SharedLibrary& operator=(const SharedLibrary&) = delete;

  void* symbol(const char* name) const;  // null when not exported
  const std::string& path() const { return path_; }

 private:
  SharedLibrary(void* handle, std::string path)
      : handle_(handle), path_(std::move(path)) {}
  void* handle_;
  std::string path_;
};

// The file name of a library loaded by name: "lib"+name+".so" here.
std::string LibraryFileName(const std::string& name);

// The plug-in's default file name next to the host: "talvix.so" here.
std::string DefaultPluginFileName();

// The folder of the running executable ("" when unknown).
std::string ExecutableDirectory();

}  // namespace sim
