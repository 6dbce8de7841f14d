// The settings section "Talvix": its keys and the sizes the strings are read
// with (NUL included). Missing keys leave the caller's default in place.
#pragma once

namespace talvix::settings {

constexpr char kServerIP[] = "ServerIP";
constexpr char kCallsign[] = "Callsign";
constexpr char kUsername[] = "Username";
constexpr char kPassword[] = "Password";
constexpr char kFirstname[] = "Firstname";
constexpr char kLastname[] = "Lastname";
constexpr char kHomebase[] = "Homebase";
constexpr char kAutoPopup[] = "AutoPopup";
constexpr char kAutoWeather[] = "AutoWeather";
constexpr char kMPDistance[] = "MPDistance";

constexpr int kCallsignSize = 15;
constexpr int kUsernameSize = 15;
constexpr int kPasswordSize = 15;
constexpr int kFirstnameSize = 30;
constexpr int kLastnameSize = 128;
constexpr int kHomebaseSize = 10;

constexpr char kDefaultCallsign[] = "NEWBIE";

}  // namespace talvix::settings
