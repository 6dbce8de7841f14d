// What each command of the command line does: the line it sends and the
// history line that echoes it once the line is written. The argument is the
// rest of the typed line from the command's position on, as typed; a
// station or callsign that would carry a ":" or a control character into
// the line is refused, and so is a message with a control character. Each
// returns false when it refused the line: nothing is sent and the line
// stays in the field to be mended.
#pragma once

#include <string>

namespace talvix::commands {

// Said when a command finds no session to send with.
constexpr char kConnectFirst[] = "Connect to the server first.";
// Said for ".help" and for any other dot and letter that is no command.
constexpr char kCommandList[] =
    "Commands: .mt STATION (METAR), .wx STATION (weather), .ping CALLSIGN, "
    ".msg CALLSIGN TEXT (private message), .atis STATION, .rw ADDRESS (join "
    "voice channel), .rwk (leave voice channel), .acars STATION (METAR by "
    "ACARS); other text is chat on the frequency.";

bool RequestAtis(const std::string& station);
bool RequestAcars(const std::string& station);
bool SendPing(const std::string& callsign);
bool JoinVoiceChannel(const std::string& address);
bool LeaveVoiceChannel();
bool SendPrivateMessage(const std::string& argument);
bool RequestWeather(const std::string& station);
bool RequestMetar(const std::string& station);
bool SendFrequencyChat(const std::string& line);

}  // namespace talvix::commands
