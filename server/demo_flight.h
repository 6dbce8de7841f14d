// The demo pilots' flying: slow circles and the "@" lines that report them.
#pragma once

#include <cstdint>
#include <string>

namespace netserver {

struct DemoPilot {
  std::string callsign;
  char modeLetter;  // 'N', 'S' or 'Y'
  int squawk;
  double centerLatitude;   // degrees, north positive
  double centerLongitude;  // degrees, east positive
  double radiusNm;
  int altitudeFt;
  int speedKt;
  const char*
      engineDigit;    // of the "PI" answer: "1" jet, "0" piston, "3" turboprop
  const char* model;  // of the "PI" answer, e.g. "~B738"
};

struct DemoPosition {
  double latitude;
  double longitude;
  double headingDeg;  // 0 to 360
  double bankDeg;     // right wing down positive
};

// Where a pilot is after flying its circle clockwise for the given time,
// starting due north of the centre.
DemoPosition positionAt(const DemoPilot& pilot, double elapsedSeconds);

// Pitch, bank and heading in degrees packed the way clients read them:
// each normalised to 0-360, scaled to 0-1023, pitch in bits 31-22, bank in
// bits 21-12, heading in bits 11-2.
std::uint32_t packAttitude(double pitchDeg, double bankDeg, double headingDeg);

// "@N:UAL123:4521:1:37.61890:-122.37500:3500:250:<attitude>:0", altitude and
// speed rounded to whole feet and knots.
std::string positionReport(char modeLetter, const std::string& callsign,
                           int squawk, double latitude, double longitude,
                           double altitudeFt, double speedKt,
                           std::uint32_t attitude);

// "@N:DEMO1:1200:1:37.61890:-122.37500:3500:120:<attitude>:0"
std::string positionLine(const DemoPilot& pilot, const DemoPosition& position);

}  // namespace netserver
