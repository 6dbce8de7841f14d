// "$ER": a server error, shown from the fixed table of 14 entries.
#include <stdexcept>
#include <string>

#include "core/guard.h"
#include "core/text.h"
#include "net/field_reader.h"
#include "net/session.h"
#include "protocol/alerts.h"
#include "protocol/handlers.h"
#include "ui/history.h"

namespace talvix {
namespace {
constexpr char kGuard[] = "handleER - Talvix: Exception caught. Notify author.";

constexpr const char* kServerErrors[] = {
    "",
    "Error: Callsign in use",
    "Error: Invalid Callsign",
    "Error: Already Registered",
    "Error: Syntax Error in Packet",
    "Warning: Invalid Source Callsign",
    "Error: Invalid ID or Password",
    "Warning: No such Callsign",
    "Warning: No Flight Plan",
    "Advisory: Weather Profile not Available for Closest Reporting Station",
    "Invalid protocol revision",
    "Requested level too high",
    "Too many client connected",
    "ID / Password currently suspended",
};
constexpr int kErrorCount = sizeof kServerErrors / sizeof kServerErrors[0];
static_assert(kErrorCount == 14, "the server error table has 14 entries");

constexpr int kSyntaxError = 4;
constexpr int kNoWeatherProfile = 9;
}  // namespace

void handleER(Packet* packet) {
  RunGuarded(kGuard, [packet] {
    FieldReader fields(packet->payload());
    fields.skip();
    fields.skip();
    const int number = ParseInt(fields.next());
    if (number == kSyntaxError) {
      // The server rejected a line: show the one sent last.
      std::string last;
      if (!LastSentLine(&last)) throw std::runtime_error("no sender");
      AddHistoryLine(last.c_str());
    } else if (number == kNoWeatherProfile) {
      AddHistoryLine(kServerErrors[number]);
    } else if (number >= 0 && number < kErrorCount) {
      AddHistoryLine(kServerErrors[number]);
      AlertUser();
    } else {
      AddHistoryLine(
          ("Unknown server error " + std::to_string(number)).c_str());
    }
  });
}

}  // namespace talvix
