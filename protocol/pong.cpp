// "$PO": the answer to the user's own ping; shows the round trip.
#include <ctime>
#include <stdexcept>
#include <string>

#include "core/guard.h"
#include "core/host.h"
#include "core/number_format.h"
#include "core/text.h"
#include "net/connection_record.h"
#include "net/field_reader.h"
#include "protocol/alerts.h"
#include "protocol/handlers.h"
#include "ui/history.h"

namespace talvix {
namespace {
constexpr char kGuard[] =
    "****> handlePO - Talvix: Exception caught. Notify author.";
constexpr char kBuggyPeer[] =
    "Talvix for FS2000 is BUGGY! Can't respond to PING properly.";
constexpr float kBuggyPeerDuration = 2.0f;

std::tm LocalTime(std::time_t when) {
  std::tm local{};
#if defined(_WIN32)
  localtime_s(&local, &when);
#else
  localtime_r(&when, &local);
#endif
  return local;
}

// Seconds from today's hour:minute:second (local time) until now. A ping
// sent before midnight and answered after it comes out negative: the date
// is always today's.
double SecondsSince(int hour, int minute, int second) {
  const std::time_t now = std::time(nullptr);
  std::tm sent = LocalTime(now);
  sent.tm_hour = hour;
  sent.tm_min = minute;
  sent.tm_sec = second;
  return std::difftime(now, std::mktime(&sent));
}

void ShowRoundTrip(FieldReader& fields, const std::string& sender) {
  const std::string hour = fields.next();
  if (!fields.hasMore()) {
    AddHistoryLine(("Receiver " + sender +
                    " is running FS2000. PING reply is buggy there.")
                       .c_str());
    PlayAttention();
    return;
  }
  const int h = ParseInt(hour);
  const int m = ParseInt(fields.next());
  const int s = ParseInt(fields.next());
  // Not a time of day: the reply is as unusable as a short one, and the
  // date arithmetic would leave its range.
  if (h < 0 || h > 23 || m < 0 || m > 59 || s < 0 || s > 60)
    throw std::range_error("not a time of day");
  const double seconds = SecondsSince(h, m, s);
  AddHistoryLine(
      (Format("%.3f", seconds) + " seconds to receive PONG").c_str());
}
}  // namespace

void handlePO(Packet* packet) {
  RunGuarded(kGuard, [packet] {
    FieldReader fields(packet->payload());
    const std::string sender = fields.next();
    const std::string addressee = fields.next();
    if (addressee != OwnCallsign()) return;
    try {
      ShowRoundTrip(fields, sender);
    } catch (...) {
      host::TimedMessage(kBuggyPeer, kBuggyPeerDuration);
    }
  });
}

}  // namespace talvix
