// The list of ATC stations, its popup items and the ATC window.
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
  int itemNumber;  // the list position when it was added
  // The id of the station's own 'sAtc' item, unique among the listed
  // stations (item numbers repeat after removals); -1 without an item.
  int popupId;
};

constexpr int kAtcSlots = 10000;
constexpr int kAtcTtl = 12;
constexpr char kUnicomCallsign[] = "UNICOM_CTR";
// The COM radio's band, in MHz.
constexpr float kComLowestMhz = 118.0f;
constexpr float kComHighestMhz = 136.975f;

// Appends a new station (the list then owns it) or, for a listed callsign,
// copies the new frequency into the listed one and deletes the new record.
// A full list deletes the record and adds nothing.
void AddStation(AtcStation* station);
// The last listed station with exactly this callsign, or null.
AtcStation* FindStation(const char* callsign);
// The first listed station on exactly this frequency, or null.
AtcStation* FindStationByFrequency(float frequency);
// The station at a list position, or null past the end.
AtcStation* StationAt(int position);
int StationCount();
// Removes a listed station and its popup item; posts nothing.
void RemoveStation(const char* callsign);
// One five-second tick: stations silent for twelve ticks are removed.
void ExpireStations();
// Removes every station but the first; the tuned station stays tuned.
void ClearStations();

// True when the callsign ends in one of the eleven facility suffixes.
bool IsControllerPosition(const char* callsign);

// The station's own item in 'sAtc': offered when listed, removed with it.
void OfferStationItem(AtcStation* station);
// With checkTuned, the removal of the station shown in 'sAtc' first falls
// back to the station that is at position 0 once it has gone.
void RemoveStationItem(AtcStation* station, bool checkTuned);
// Shows the listed station with this callsign as the popup's choice.
void SelectStationItem(const char* callsign);
// Gives every listed station that has an item its 'sAtc' item again, under
// its own id, in list order: a main window created anew has none.
void OfferStationItems();

void RefreshAtcWindow();
void OnAtcWindowEvent(std::uint32_t control, std::uint32_t event);

}  // namespace talvix
