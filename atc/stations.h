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
// Removes a listed station and its popup item; the tuned one falls back to
// UNICOM first. The UNICOM station, the plug-in's own, is never removed.
void RemoveStation(const char* callsign);
// One five-second tick: stations silent for twelve ticks are removed.
void ExpireStations();
// Removes every station but the first; the tuned station stays tuned and
// shown.
void ClearStations();

// True when the callsign ends in one of the eleven facility suffixes.
bool IsControllerPosition(const char* callsign);

// The station's own item in 'sAtc': offered when listed, removed with it.
void OfferStationItem(AtcStation* station);
// With checkTuned, the removal of the tuned station first falls back to the
// UNICOM station.
void RemoveStationItem(AtcStation* station, bool checkTuned);
// The listed station whose own item this is, or null.
AtcStation* StationWithItem(int item);
// Makes the popup show the tuned station: its own item when it is listed
// with one, else an item kept for it alone.
void SelectTunedItem(const AtcStation& tuned);
// Gives every listed station that has an item its 'sAtc' item again, under
// its own id, in list order: a main window created anew has none.
void OfferStationItems();

// Rebuilds the ATC window's table, the tuned station's row highlighted.
void RefreshAtcWindow();
// Highlights the tuned station's row, or none when the table lacks it.
void HighlightTunedRow();
void OnAtcWindowEvent(std::uint32_t control, std::uint32_t event);

}  // namespace talvix
