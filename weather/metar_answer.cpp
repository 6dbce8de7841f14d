// "$AR": a METAR answer for the user, logged to the weather file, loaded by
// the simulator's own reader and then refined.
#include <string>

#include "core/guard.h"
#include "core/host.h"
#include "core/number_format.h"
#include "net/connection_record.h"
#include "net/field_reader.h"
#include "platform/platform.h"
#include "protocol/alerts.h"
#include "protocol/handlers.h"
#include "ui/history.h"
#include "weather/metar.h"
#include "weather/weather_state.h"

namespace talvix {
namespace {

constexpr char kGuard[] =
    "*****> handleAR - Talvix: Exception caught. Notify author.";
constexpr char kLogFile[] = "/METAR/TXMetarTemp.txt";
constexpr std::size_t kDirectorySize = 260;

// The log under the working directory; false when there is none.
bool LogFilePath(std::string* path) {
  char directory[kDirectorySize] = {};
  if (!platform::CurrentDirectory(directory, sizeof directory)) return false;
  *path = std::string(directory) + kLogFile;
  return true;
}

// Replaces the log with this report alone, in one write. The METAR folder
// is never created: without it nothing is written.
bool WriteLog(const std::string& path, const std::string& report) {
  const platform::CalendarTime now = platform::UtcNow();
  const std::string log = Format("%04d/%02d/%02d %02d:%02d\r\n", now.year,
                                 now.month, now.day, now.hour, now.minute) +
                          report + "\r\n\r\n";
  return platform::WriteWholeFile(path.c_str(), log.data(), log.size());
}

void ApplyReport(std::string report) {
  AddHistoryLine(("Raw METAR : " + report).c_str());
  std::string path;
  if (!LogFilePath(&path)) return;
  FilterMetar(report, LastNearestAirport());
  if (!WriteLog(path, report)) return;
  host::LoadMetarFile(path.c_str());
  DecodeMetar(report);
  AddHistoryLine("======> Local Metar updated");
  AddHistoryLine(("Filter METAR : " + report).c_str());
}

}  // namespace

void handleAR(Packet* packet) {
  RunGuarded(kGuard, [packet] {
    FieldReader fields(packet->payload());
    fields.skip();  // sender
    if (fields.next() != OwnCallsign()) return;
    if (fields.next() == "METAR") ApplyReport(fields.next());
    PlayAttention();
  });
}

}  // namespace talvix
