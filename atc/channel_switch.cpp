// Tuning a station: the ATIS request, the radio and the tuned-station copy,
// the one record that every view of the tuned station is written from and
// none is read back into.
#include <cstring>
#include <new>
#include <string>

#include "atc/com_tracking.h"
#include "atc/stations.h"
#include "core/host.h"
#include "core/number_format.h"
#include "core/text.h"
#include "net/connection_record.h"
#include "net/session.h"
#include "ui/history.h"
#include "ui/window_codes.h"
#include "voice/voice_control.h"

namespace talvix {
namespace {

// A copy, not a pointer into the list: it outlives the station's removal.
AtcStation g_tuned{};
// Set when an ATIS request went out; the tuned station's first private
// answer consumes it.
bool g_atisRequested = false;

// Queues "$CQ<own>:<station>:ATIS"; false when nothing was queued.
bool RequestAtis(const AtcStation& station) {
  Packet* packet = new (std::nothrow) Packet;
  if (packet == nullptr) {
    reportFatalMemoryError();
    return false;
  }
  packet->setText("$CQ");
  packet->appendField(OwnCallsign());
  packet->appendField(station.callsign);
  packet->appendField("ATIS");
  if (!QueueIfConnected(packet)) return false;
  g_atisRequested = true;
  return true;
}

}  // namespace

const AtcStation& TunedStation() { return g_tuned; }

bool IsTunedStation(const AtcStation& station) {
  return g_tuned.callsign[0] != '\0' &&
         std::strcmp(station.callsign, g_tuned.callsign) == 0 &&
         station.frequency == g_tuned.frequency;
}
bool AtisRequested() { return g_atisRequested; }
void ClearAtisRequested() { g_atisRequested = false; }

void SwitchToStation(const AtcStation* station, bool tuneRadio) {
  if (station == nullptr) return;
  if (std::string(station->callsign) == kUnicomCallsign) {
    SwitchTeamSpeakToUnicom();
  } else if (!RequestAtis(*station)) {
    return;
  }
  // The radio follows only a station that became the tuned one: a pick
  // that tuned nothing leaves the radio on the station the windows show.
  if (tuneRadio) TuneCom(station->frequency);
  g_tuned = *station;
  const std::string line =
      Format("====> switched to %s on %.3f (expect ATIS)", g_tuned.callsign,
             static_cast<double>(g_tuned.frequency));
  AddHistoryLine(line.c_str());
  ShowTunedStation();
}

void ShowTunedStation() {
  if (g_tuned.callsign[0] == '\0') return;  // nothing tuned yet
  SelectTunedItem(g_tuned);
  host::SetText(
      codes::kMainWindow, codes::kFrequencyLabel,
      Format("%.03f", static_cast<double>(g_tuned.frequency)).c_str());
  HighlightTunedRow();
}

}  // namespace talvix
