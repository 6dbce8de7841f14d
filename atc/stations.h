// The list of ATC stations and the ATC window.
#pragma once

#include <cstdint>

namespace talvix {

struct AtcStation {
  char callsign[64];
  float frequency;  // MHz
  int fourthField;
  int fifthField;
  int ttl;
  char frequencyText[12];
  int itemNumber;
};

AtcStation* FindStation(const char* callsign);
AtcStation* FindStationByFrequency(float frequency);
// One five-second tick: stations silent for twelve ticks are removed.
void ExpireStations();
// Removes every station but the first.
void ClearStations();
void RefreshAtcWindow();
void OnAtcWindowEvent(std::uint32_t control, std::uint32_t event);

}  // namespace talvix
