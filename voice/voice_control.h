// Drives the outside voice programs.
#pragma once

namespace talvix {

// 0 nothing switched, 1 TeamSpeak, 2 Roger Wilco.
int SwitchVoiceClient(const char* callsign, const char* text);
void SwitchTeamSpeakToUnicom();
bool RogerWilcoJoin(const char* address);
bool RogerWilcoLeave();

}  // namespace talvix
