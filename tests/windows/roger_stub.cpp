// Stands in for the voice program started through the registry: writes its
// command line arguments, one per line, to "roger_args.txt" beside itself, so
// the test can see that it was started and with what.
#include <windows.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  char path[MAX_PATH];
  DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  if (length == 0 || length >= sizeof path) return 2;
  char* slash = std::strrchr(path, '\\');
  if (slash == nullptr) return 2;
  const char kName[] = "roger_args.txt";
  if (static_cast<std::size_t>(slash + 1 - path) + sizeof kName > sizeof path) {
    return 2;
  }
  std::memcpy(slash + 1, kName, sizeof kName);
  // Written to a temporary name and renamed, so a reader never sees half.
  char partial[MAX_PATH + 8];
  std::snprintf(partial, sizeof partial, "%s.part", path);
  std::FILE* out = std::fopen(partial, "wb");
  if (out == nullptr) return 3;
  for (int i = 1; i < argc; ++i) std::fprintf(out, "%s\n", argv[i]);
  if (std::fclose(out) != 0) return 3;
  return MoveFileExA(partial, path, MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
