// Which stations are controller positions: the last four characters of the
// callsign, blanks removed and in upper case, name the facility.
#include <cctype>
#include <cstring>
#include <string>

#include "atc/stations.h"

namespace talvix {
namespace {
constexpr const char* kFacilitySuffixes[] = {
    "_APP", "_DEP", "_TWR", "_GND", "_FSS", "_CTR",
    "_OCE", "_CLC", "_CON", "_FIR", "_CTA",
};
constexpr std::size_t kSuffixLength = 4;
}  // namespace

bool IsControllerPosition(const char* callsign) {
  if (callsign == nullptr) return false;
  std::string name;
  for (const char* c = callsign; *c != '\0'; ++c) {
    if (*c == ' ') continue;
    name += static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
  }
  if (name.size() < kSuffixLength) return false;
  const std::string suffix = name.substr(name.size() - kSuffixLength);
  for (const char* facility : kFacilitySuffixes) {
    if (suffix == facility) return true;
  }
  return false;
}

}  // namespace talvix
