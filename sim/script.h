// The host's script: one command a line, driving a Simulator. A line whose
// first non-blank character is "#" is a comment. Commands (codes are four
// characters, TEXT is the rest of the line as written):
//
//   idle SECONDS | frames N DT | sleep SECONDS | echo TEXT
//   key CODE MODIFIER | menu MENU ITEM | cleanup
//   click WIN CONTROL | pick WIN MENU ITEM | select WIN POPUP ID
//   row WIN LIST N | check WIN BOX on|off | type WIN FIELD TEXT
//   enter WIN FIELD TEXT | value WIN CONTROL | close WIN
//   additem WIN POPUP ID TEXT
//   aircraft LAT LON ALT [SPEED [PITCH BANK HEADING]] | user present|absent
//   com MHZ | xpdr MODE REPLY CODE [DESTINATION] | clock HH:MM
//   setting KEY VALUE | airport ICAO | planner DEP DEST
//   [KIND:NAME:SPEED:ALT]... expect history|notice|alert TEXT | expect-not
//   history TEXT expect-row WIN CONTROL N TEXT | expect-rows WIN CONTROL N
//   expect-text WIN CONTROL TEXT | expect-object NAME | expect-no-object NAME
//   expect-items WIN POPUP N | expect-item WIN POPUP TEXT
//   expect-no-item WIN POPUP TEXT | expect-shown WIN POPUP TEXT
//   wait-history SECONDS TEXT | wait-object SECONDS NAME
//   wait-sound SECONDS FILE (a sound started from the command on)
//   dump [FILE]
//
// An item ID is a decimal number or a code in quotes ('mp5_'); four
// characters that are not a number read as a code too.
#pragma once

#include <istream>
#include <ostream>
#include <string>

namespace sim {

class Simulator;

class ScriptRunner {
 public:
  ScriptRunner(Simulator& simulator, std::ostream& out)
      : sim_(simulator), out_(out) {}

  // Runs one line; false with the reason (for a failed expect: what was
  // there instead) when it failed.
  bool run(const std::string& line, std::string* error);

  // Runs every line until the end or the first failure, which is reported
  // on err with its line number. Returns the exit status: 0 or 1.
  int runAll(std::istream& in, std::ostream& err);

 private:
  Simulator& sim_;
  std::ostream& out_;
};

}  // namespace sim
