// The terminal's keys and what they do in the front end. Key codes are the
// curses ones; nothing here needs a terminal.
#pragma once

namespace sim::tui {

enum class Action {
  kNone,
  kQuit,
  kRedraw,
  kResize,
  kNextControl,
  kPrevControl,
  kActivate,  // Enter
  kToggle,    // space: a check or button; typed text in a field
  kUp,
  kDown,
  kLeft,
  kRight,
  kPageUp,
  kPageDown,
  kBackspace,
  kClearField,
  kType,       // arg: the character, a Latin-1 byte (0-255)
  kUntypable,  // arg: a character's code point that Latin-1 lacks
  kMenu,       // arg: 0 for the window's first menu
  kSimMenu,    // the simulator's own menu bar
  kEscape,
  kNextWindow,
  kHeadingLeft,
  kHeadingRight,
  kAltitudeDown,
  kAltitudeUp,
  kSpeedDown,
  kSpeedUp,
  kComDown,  // the COM 1 dial, 25 kHz a step
  kComUp,
  kComEntry,  // type a COM 1 frequency
  kSquawkEntry,
  kModeCycle,  // transponder off, standby, on, altitude
  kRangeCycle,
};

struct KeyAction {
  Action action = Action::kNone;
  int arg = 0;
};

KeyAction MapKey(int key);

// The terminal's keys as they come, one curses key code at a time. The
// terminal sends UTF-8, the plug-in's text fields hold bytes: a character
// beyond ASCII comes as two to four bytes and becomes one kType of its
// Latin-1 byte, or kUntypable (with its code point, U+FFFD for a broken
// sequence) when Latin-1 has no such character. Every other key is MapKey's.
class KeyDecoder {
 public:
  // kNone while a character is still incomplete.
  KeyAction feed(int key);

 private:
  unsigned codePoint_ = 0;
  int missing_ = 0;  // continuation bytes still to come
};

// The help lines: every key the front end knows, in full and in short for
// narrow terminals.
extern const char* const kHelpLines[2];
extern const char* const kShortHelpLines[2];

}  // namespace sim::tui
