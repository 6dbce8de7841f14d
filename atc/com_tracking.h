// The tuned station and the COM radio.
#pragma once

#include "atc/stations.h"

namespace talvix {

void SwitchToStation(const AtcStation* station, bool tuneRadio);
const AtcStation& TunedStation();
// The main window names the tuned station: its 'sAtc' item and 'aFrq'.
void ShowTunedStation();
bool AtisRequested();
void ClearAtisRequested();
// Reads the COM frequency (MHz, rounded to two decimals) and tracks changes.
float ReadComFrequency();
// The COM frequency as five digits, "22800" for 122.800 MHz.
void ComFrequencyText(char out[6]);
void TuneCom(float frequency);
// Rounds to two decimals, halves away from zero.
float RoundToTwoDecimals(float value);

}  // namespace talvix
