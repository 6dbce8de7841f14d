// Drives the outside voice programs.
#pragma once

#include <string>

namespace talvix {

// 0 nothing switched, 1 TeamSpeak, 2 Roger Wilco.
int SwitchVoiceClient(const char* callsign, const char* text);
void SwitchTeamSpeakToUnicom();
bool RogerWilcoJoin(const char* address);
bool RogerWilcoLeave();

// TeamSpeak through its remote-control library. The server (upper case, at
// most 127 characters) is remembered for later UNICOM switches; a longer
// one is refused. True when TeamSpeak accepted the request.
bool SwitchTeamSpeak(const std::string& server, const char* channel);
// The server remembered from the last accepted or pending request; empty
// after a refusal.
const char* RememberedTeamSpeakServer();

}  // namespace talvix
