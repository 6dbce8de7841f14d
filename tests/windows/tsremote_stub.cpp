// Stands in for the voice program's remote-control library: its one export
// appends each address it is handed, one a line, to "tsremote.log" in the
// current folder and returns the number written in "tsremote.result" there
// (0 when that file is missing). Built as libTSRemote.so and TSRemote.dll.
#include <cstdio>

#if defined(_WIN32)
#define TSREMOTE_EXPORT extern "C" __declspec(dllexport)
#define TSREMOTE_CALL __stdcall
#else
#define TSREMOTE_EXPORT extern "C" __attribute__((visibility("default")))
#define TSREMOTE_CALL
#endif

TSREMOTE_EXPORT int TSREMOTE_CALL tsrConnect(const char* address) {
  std::FILE* log = std::fopen("tsremote.log", "ab");
  if (log != nullptr) {
    std::fprintf(log, "%s\n", address != nullptr ? address : "");
    std::fclose(log);
  }
  int result = 0;
  std::FILE* answer = std::fopen("tsremote.result", "rb");
  if (answer != nullptr) {
    if (std::fscanf(answer, "%d", &result) != 1) result = 0;
    std::fclose(answer);
  }
  return result;
}
