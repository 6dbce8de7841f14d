// The user's own aircraft: read from the simulator on every idle call while
// connected, and reported to the server every five seconds.
#pragma once

#include <cstdint>
#include <string>

#include "core/host_services.h"

namespace talvix {

// The own aircraft as last read, in the units of the protocol. Lives for the
// whole run and is never reset, so a new connection starts from the last
// values.
struct OwnAircraftState {
  char modeLetter;                  // 'S', 'N' or 'Y'; 0 until the first update
  float transponderCode;            // 1200.0 for code 1200
  float latitude;                   // degrees, north positive
  float longitude;                  // degrees, -180..180, east positive
  float altitude;                   // feet, less the altitude offset
  float speed;                      // knots, never negative
  HostPosition raw;                 // arc-seconds (longitude 0..360 east), feet
  AircraftRef reference;            // the user aircraft as last obtained
  AircraftRef rememberedReference;  // the one the transponder was found for
  HostMessage transponderMessage;   // names the transponder once found
};

OwnAircraftState& OwnAircraft();

void UpdateFlyParameters();
void handlePositionUpdate();

// Looks the transponder up under 'kt76', then 'xpdr'. True when found.
bool FindTransponder();
// Reads mode and reply indicator; returns the letter 'S', 'N' or 'Y' and
// rewrites the main window's label when the mode index changes.
char ReadTransponderMode();
// The user aircraft's attitude, read now, packed into one word: bits 31-22
// pitch, 21-12 bank, 11-2 heading, each 1024 steps per turn.
std::uint32_t PackAttitude();
// The same packing from an orientation in radians (x pitch, y heading,
// z bank).
std::uint32_t PackOrientation(const HostVector& radians);

// Conversions from the simulator's units.
float LongitudeDegrees(double eastArcSeconds);  // 0..360 east to -180..180
float KnotsFromFeetPerSecond(float feetPerSecond);

// The "@" line for the given state, callsign and attitude word.
std::string PositionReportText(const OwnAircraftState& state,
                               const char* callsign, std::uint32_t attitude);

// The position as the simulator last gave it (arc-seconds, feet).
const HostPosition& OwnRawPosition();
// The transponder mode index: 0 "Off", 1 "Standby", 2 "Mode A", 3 "Mode C".
int TransponderModeIndex();
// The display name of a mode index ("Off" for anything out of range).
const char* TransponderModeName(int index);

}  // namespace talvix
