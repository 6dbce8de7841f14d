// Values the main window edits and other parts read.
#pragma once

namespace talvix {

// The plug-in signature obtained at start; windows are created with it.
int PluginSignature();
void SetPluginSignature(int signature);

// Multiplayer range in nautical miles (setting "MPDistance").
int& MPDistance();
// Automatic weather requests: 1 on, 0 off (setting "AutoWeather").
int& AutoWeather();
// Feet subtracted from the own reported altitude and added to others'.
int& AltitudeOffset();

}  // namespace talvix
