// The user's own aircraft choice from the aircraft window 'txAC', the rows
// of "CSL_ICAO.csv" it offers, and the model replacement of other pilots.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace talvix {

struct TrafficRecord;

// One row of the aircraft list file.
struct AircraftRow {
  std::string description;
  std::string model;
  std::string csl;  // the third field without its first character
  std::string engine;
};

// The chosen aircraft; every field empty until a row is chosen.
struct ChosenAircraft {
  char description[1024];
  char csl[10];
  char model[10];
  char engine[4];
};

constexpr std::size_t kAircraftLineMax = 1023;

// Splits one line (without its line end) into a row. False for an empty
// line and for a line with fewer than four fields.
bool ParseAircraftLine(const std::string& line, AircraftRow* row);
// Reads the next line of at most kAircraftLineMax characters, LF or CR LF
// removed. A longer line is consumed to its end and reported as overlong.
// False at the end of the file.
bool ReadAircraftLine(std::FILE* file, std::string* line, bool* overlong);

void LoadAircraftList();
void OnAircraftWindowEvent(std::uint32_t control, std::uint32_t event);
void ChooseAircraft();
const ChosenAircraft& Chosen();
// The chosen model code announced to others; empty until one is chosen.
const char* ChosenCsl();
const char* ChosenDescription();
const char* ChosenModel();
// The engine digit: "0" piston, "1" jet (and default), "3" turboprop.
const char* EngineCode();

// Replaces a pilot's object with the model for the code ("~" dropped), or
// the default for the engine digit. True only when the code's own model
// file was found.
bool ChangeModel(TrafficRecord* record, const char* code, char engineDigit);

}  // namespace talvix
