// What each command of the command line does: the line it sends and the
// history line that echoes it. The argument is the rest of the typed line
// from the command's position on, as typed.
#pragma once

#include <string>

namespace talvix::commands {

// Said when a command finds no session to send with.
constexpr char kConnectFirst[] = "Connect to the server first.";

void RequestAtis(const std::string& station);
void RequestAcars(const std::string& station);
void SendPing(const std::string& callsign);
void JoinVoiceChannel(const std::string& address);
void LeaveVoiceChannel();
void SendPrivateMessage(const std::string& argument);
void RequestWeather(const std::string& station);
void RequestMetar(const std::string& station);
void SendFrequencyChat(const std::string& line);

}  // namespace talvix::commands
