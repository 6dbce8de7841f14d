// The tuned station and the COM radio.
#pragma once

#include "atc/stations.h"

namespace talvix {

void SwitchToStation(const AtcStation* station, bool tuneRadio);
const AtcStation& TunedStation();
// True for the tuned station itself: its callsign on its frequency.
bool IsTunedStation(const AtcStation& station);
// Writes the tuned station into every view of it: the item 'sAtc' shows,
// 'aFrq' and the ATC window's highlighted row. Nothing tuned: nothing.
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
