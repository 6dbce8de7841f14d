// The demo world: the airport, its runways, the pilots and controllers that
// populate the network and the scripted goings-on, read from a line-based
// text file (the format is described in server/README.md).
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace netserver {

struct WorldRunway {
  std::string name;  // "28L"
  double latitude;   // of the threshold, degrees
  double longitude;
  double headingDeg;  // true heading of the landing direction
};

enum class FlightKind { Orbit, Circuit, Departure, Arrival, Overflight };

struct WorldPilot {
  std::string callsign;
  std::string model;  // code from data/CSL_ICAO.csv, e.g. "B738"
  char engineLetter;  // 'J', 'T' or 'P'
  char modeLetter;    // 'N', 'S' or 'Y'
  int squawk;
  FlightKind kind;
  std::string runway;      // circuit, departure, arrival
  bool rightHand = false;  // circuit: right-hand pattern
  int speedKt = 0;
  int altitudeFt = 0;    // circuit: pattern; departure: cruise; arrival: start;
                         // overflight and orbit: level
  double courseDeg = 0;  // departure: outbound; overflight: track;
                         // arrival: bearing of the start from the threshold
  double distanceNm = 0;  // arrival: start distance; orbit: radius
  double latitude = 0;    // orbit: centre; overflight: point passed over
  double longitude = 0;
  double offsetSeconds = 0;  // how far into its flight it starts
};

struct WorldController {
  std::string callsign;
  std::string frequency;  // five digits, "20500" for 120.500 MHz
  int facility;
  int rangeNm;
  int rating;
  double latitude;
  double longitude;
  std::string atis;  // answer to an ATIS request
};

// Something said now and then: a controller on its frequency ("say") or any
// station on the guard frequency ("guard").
struct WorldMessage {
  std::string callsign;
  bool onGuard;
  double firstSeconds;
  double everySeconds;  // 0: once
  std::string text;
};

// A station that goes away and comes back: a controller logs off, a pilot
// stops reporting.
struct WorldAbsence {
  std::string callsign;
  double firstSeconds;
  double durationSeconds;
  double everySeconds;  // 0: once
};

struct WorldWindLayer {
  int lowFt, highFt, directionDeg, speedKt;
};

struct WorldWeather {
  double everySeconds = 0;  // 0: no weather lines
  int altimeter = 2992;     // hundredths of an inch of mercury
  int temperature = 0;      // degrees Celsius, at the surface
  int dewPoint = 0;
  // Two cloud layers (top, base, coverage in eighths; top -1: none) and a
  // storm flag (-1: none).
  int clouds[2][3] = {{-1, 0, 0}, {-1, 0, 0}};
  int storm = -1;
  std::vector<WorldWindLayer> winds;  // at most four
};

struct World {
  std::string airport;
  double latitude = 0, longitude = 0;
  int elevationFt = 0;
  std::vector<WorldRunway> runways;
  std::vector<WorldPilot> pilots;
  std::vector<WorldController> controllers;
  std::vector<WorldMessage> messages;
  std::vector<WorldAbsence> absences;
  WorldWeather weather;

  const WorldRunway* runway(const std::string& name) const;
  bool hasStation(const std::string& callsign) const;
};

struct WorldParseResult {
  World world;
  // "line 12: unknown runway 29" and the like; the lines named are skipped.
  std::vector<std::string> errors;
};

WorldParseResult parseWorld(const std::string& text);
// Reads and parses a file; a file that cannot be read gives one error.
WorldParseResult loadWorldFile(const std::string& path);

}  // namespace netserver
