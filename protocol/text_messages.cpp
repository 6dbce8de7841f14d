// "#TM": a text message, shown by its addressee: private to the user,
// broadcast, or on frequencies (the guard and the tuned station's). The
// tuned station's first private answer after an ATIS request drives the
// voice program.
#include <cstring>
#include <string>

#include "atc/com_tracking.h"
#include "core/guard.h"
#include "core/text.h"
#include "net/connection_record.h"
#include "net/field_reader.h"
#include "protocol/alerts.h"
#include "protocol/handlers.h"
#include "ui/history.h"
#include "voice/voice_control.h"

namespace talvix {
namespace {

constexpr char kGuard[] = "****> handleTM - Talvix: Exception caught.";
constexpr char kGuardFrequency[] = "@2150";

void Post(const std::string& line) { AddHistoryLine(line.c_str()); }

const char* VoiceSwitchLine(int result) {
  switch (result) {
    case 1: return "----> switched TeamSpeak to ";
    case 2: return "----> switched Roger Wilco to ";
    default: return "****> FAILED to switch Voice Client to ";
  }
}

void OnPrivateMessage(const std::string& sender, const std::string& text) {
  const std::string from = ToUpper(sender);
  Post("[PRIVATE <" + from + ">] " + text);
  AlertUser();
  const AtcStation& tuned = TunedStation();
  if (!AtisRequested() || from != tuned.callsign) return;
  ClearAtisRequested();
  const int result = SwitchVoiceClient(tuned.callsign, text.c_str());
  Post(VoiceSwitchLine(result) + from);
}

// Walks the "&"-joined frequencies: every guard piece is shown, the first
// piece on the tuned station's frequency is shown and ends the walk.
void OnFrequencyMessage(const std::string& sender, const std::string& addressee,
                        const std::string& text) {
  const std::string tunedFrequency = TunedStation().frequencyText;
  const std::string own = OwnCallsign();
  for (const std::string& piece : SplitFields(addressee.c_str(), "&")) {
    if (piece == kGuardFrequency) {
      Post("[ON GUARD] " + text);
      PlayAttention();
      continue;
    }
    if (piece.empty() || piece.substr(1) != tunedFrequency) continue;
    Post(ToUpper(sender) + ": " + text);
    if (text.compare(0, own.size(), own) == 0) {
      AlertUser();
    } else {
      PlayAttention();
    }
    return;
  }
}

}  // namespace

void handleTM(Packet* packet) {
  RunGuarded(kGuard, [packet] {
    FieldReader fields(packet->payload());
    const std::string sender = fields.next();
    const std::string addressee = fields.next();
    const std::string text = fields.next();
    if (addressee == OwnCallsign()) {
      OnPrivateMessage(sender, text);
    } else if (addressee == "*" || addressee == "*P") {
      Post(text);
      PlayAttention();
    } else if (!addressee.empty() && addressee[0] == '@') {
      OnFrequencyMessage(sender, addressee, text);
    } else {
      Post("[???] " + text);
      PlayAttention();
    }
  });
}

}  // namespace talvix
