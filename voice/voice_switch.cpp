// The tuned controller's answer to the ATIS request names the voice channel:
// a TeamSpeak server ("...TS..." before a "/") or a Roger Wilco address.
#include <string>

#include "core/text.h"
#include "voice/voice_control.h"

namespace talvix {
namespace {

constexpr int kNothingSwitched = 0;
constexpr int kTeamSpeakSwitched = 1;
constexpr int kRogerWilcoSwitched = 2;

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

int SwitchTeamSpeakFrom(const std::string& text, const std::string& station) {
  const std::size_t slash = text.find('/');
  if (slash == std::string::npos || slash == 0) return kNothingSwitched;
  return SwitchTeamSpeak(text.substr(0, slash), station.c_str())
             ? kTeamSpeakSwitched
             : kNothingSwitched;
}

// "VOICE", "RW", or the station's first four characters after the start.
bool NamesRogerWilco(const std::string& text, const std::string& station) {
  if (Contains(text, "VOICE") || Contains(text, "RW")) return true;
  const std::string prefix = station.substr(0, 4);
  return !prefix.empty() && text.find(prefix, 1) != std::string::npos;
}

// From the first "RW" on; else the last blank-separated word.
std::string RogerWilcoAddress(const std::string& text) {
  const std::size_t rw = text.find("RW");
  if (rw != std::string::npos) return text.substr(rw);
  const std::size_t blank = text.rfind(' ');
  return blank == std::string::npos ? text : text.substr(blank + 1);
}

}  // namespace

int SwitchVoiceClient(const char* callsign, const char* text) {
  if (callsign == nullptr || text == nullptr) return kNothingSwitched;
  const std::string station = ToUpper(callsign);
  const std::string message = ToUpper(text);
  if (Contains(message, ".TS.")) return SwitchTeamSpeakFrom(message, station);
  if (!NamesRogerWilco(message, station)) return kNothingSwitched;
  return RogerWilcoJoin(RogerWilcoAddress(message).c_str())
             ? kRogerWilcoSwitched
             : kNothingSwitched;
}

}  // namespace talvix
