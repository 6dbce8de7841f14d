// The plug-in's shared float-to-text conversion. Numbers written without a
// format of their own use the default format, "%0.4f" at load; the COM
// tracking sets "%.3f" on every idle call while connected.
#pragma once

#include <string>

namespace talvix {

std::string FormatFloat(double value);               // with the default format
std::string FormatFloat(double value, const char* format);  // and makes it default
const char* DefaultFloatFormat();

// printf into a std::string.
std::string Format(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;

}  // namespace talvix
