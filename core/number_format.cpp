#include "core/number_format.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace talvix {
namespace {
// Only the two formats the plug-in uses may become the default, so a
// received text can never reach the format position.
const char* g_default = "%0.4f";
}  // namespace

const char* DefaultFloatFormat() { return g_default; }

std::string FormatFloat(double value) { return Format(g_default, value); }

std::string FormatFloat(double value, const char* format) {
  if (std::strcmp(format, "%.3f") == 0) g_default = "%.3f";
  if (std::strcmp(format, "%0.4f") == 0) g_default = "%0.4f";
  return Format(format, value);
}

std::string Format(const char* format, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, format);
  std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  return buffer;
}

}  // namespace talvix
