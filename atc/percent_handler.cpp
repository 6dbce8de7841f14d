// "%" announces or keeps alive a controller, "#DA" takes one away. The
// first "%" line after loading also creates the UNICOM station and tunes it.
#include <cmath>
#include <cstdlib>
#include <new>
#include <string>

#include "atc/com_tracking.h"
#include "atc/stations.h"
#include "core/guard.h"
#include "core/text.h"
#include "net/field_reader.h"
#include "protocol/handlers.h"

namespace talvix {
namespace {

constexpr char kPercentGuard[] =
    "handlePERCENT - Talvix: Exception caught. Notify author.";
constexpr char kDaGuard[] =
    "handleDA - Talvix: Exception caught. Notify author.";

// Set until the first "%" line creates the UNICOM station; never set again,
// so one load of the plug-in has one UNICOM station.
bool g_unicomPending = true;

AtcStation* NewStation(const char* callsign, float frequency, int fourth,
                       int fifth, const char* frequencyText) {
  AtcStation* station = new (std::nothrow) AtcStation{};
  if (station == nullptr) {
    reportFatalMemoryError();
    return nullptr;
  }
  CopyText(station->callsign, callsign);
  station->frequency = frequency;
  station->fourthField = fourth;
  station->fifthField = fifth;
  station->ttl = kAtcTtl;
  CopyText(station->frequencyText, frequencyText);
  station->popupId = -1;
  return station;
}

// False when it could not be made: nothing else may take position 0.
bool CreateUnicom() {
  AtcStation* unicom = NewStation(kUnicomCallsign, 122.8f, 1000, 1, "22800");
  if (unicom == nullptr) return false;
  g_unicomPending = false;
  AddStation(unicom);
  RefreshAtcWindow();
  SwitchToStation(FindStation(kUnicomCallsign), true);
  return true;
}

// "1" and the kilohertz digits with the point after the third character:
// "18150" is 118.150 MHz.
float FrequencyFromField(const std::string& field) {
  std::string text = "1" + field;
  if (text.size() > 3) text.insert(3, ".");
  return std::strtof(text.c_str(), nullptr);
}

// Only a station the radio can be tuned to is listed: a field such as
// "00e99" reads as infinite, and the radio would be handed it.
bool InComBand(float frequency) {
  return std::isfinite(frequency) && frequency >= kComLowestMhz &&
         frequency <= kComHighestMhz;
}

}  // namespace

void handlePERCENT(Packet* packet) {
  RunGuarded(kPercentGuard, [packet] {
    if (g_unicomPending && !CreateUnicom()) return;
    FieldReader fields(packet->payload());
    // Cut as the record keeps it, so a long callsign still finds itself.
    char callsign[sizeof AtcStation::callsign];
    CopyText(callsign, fields.next());
    if (AtcStation* listed = FindStation(callsign)) {
      listed->ttl = kAtcTtl;
      return;
    }
    const std::string frequencyText = fields.next();
    fields.skip();
    const int fourth = ParseInt(fields.next());
    const int fifth = ParseInt(fields.next());
    const float frequency = FrequencyFromField(frequencyText);
    if (!InComBand(frequency)) return;
    AtcStation* station =
        NewStation(callsign, frequency, fourth, fifth, frequencyText.c_str());
    if (station == nullptr) return;
    AddStation(station);
    RefreshAtcWindow();
  });
}

void handleDA(Packet* packet) {
  RunGuarded(kDaGuard, [packet] {
    FieldReader fields(packet->payload());
    char callsign[sizeof AtcStation::callsign];
    CopyText(callsign, fields.next());
    RemoveStation(callsign);
    RefreshAtcWindow();
  });
}

}  // namespace talvix
