#include "sim/tui/keys.h"

#include <curses.h>

namespace sim::tui {
namespace {

constexpr int Ctrl(char c) { return c & 0x1f; }

}  // namespace

const char* const kHelpLines[2] = {
    "F1-F3 window menus  F4 simulator menu  Tab/S-Tab control  Enter "
    "activate  Space toggle  Up/Down lists  PgUp/PgDn page  ^W next "
    "window  Esc close dialog  ^Q quit",
    "F5/F6 heading -/+10  F7/F8 altitude -/+500  F9/F10 speed -/+10  "
    "F11/F12 COM1 -/+25 kHz  ^F type COM1  ^X squawk  ^T xpdr mode  "
    "^R scope range  ^L redraw",
};

const char* const kShortHelpLines[2] = {
    "F1-F3 menus  F4 sim  Tab/S-Tab  Enter/Space  Up/Down/PgUp/PgDn  "
    "^W window  Esc close dialog  ^Q quit",
    "F5/F6 hdg  F7/F8 alt  F9/F10 speed  F11/F12 COM1  ^F COM1  ^X squawk  "
    "^T mode  ^R range  ^L redraw",
};

KeyAction MapKey(int key) {
  switch (key) {
    case Ctrl('q'):
    case Ctrl('c'): return {Action::kQuit};
    case Ctrl('l'): return {Action::kRedraw};
    case KEY_RESIZE: return {Action::kResize};
    case '\t': return {Action::kNextControl};
    case KEY_BTAB: return {Action::kPrevControl};
    case '\n':
    case '\r':
    case KEY_ENTER: return {Action::kActivate};
    case ' ': return {Action::kToggle, ' '};
    case KEY_UP: return {Action::kUp};
    case KEY_DOWN: return {Action::kDown};
    case KEY_LEFT: return {Action::kLeft};
    case KEY_RIGHT: return {Action::kRight};
    case KEY_PPAGE: return {Action::kPageUp};
    case KEY_NPAGE: return {Action::kPageDown};
    case KEY_BACKSPACE:
    case 127:
    case Ctrl('h'): return {Action::kBackspace};
    case Ctrl('u'): return {Action::kClearField};
    case 27: return {Action::kEscape};
    case Ctrl('w'): return {Action::kNextWindow};
    case KEY_F(1): return {Action::kMenu, 0};
    case KEY_F(2): return {Action::kMenu, 1};
    case KEY_F(3): return {Action::kMenu, 2};
    case KEY_F(4): return {Action::kSimMenu};
    case KEY_F(5): return {Action::kHeadingLeft};
    case KEY_F(6): return {Action::kHeadingRight};
    case KEY_F(7): return {Action::kAltitudeDown};
    case KEY_F(8): return {Action::kAltitudeUp};
    case KEY_F(9): return {Action::kSpeedDown};
    case KEY_F(10): return {Action::kSpeedUp};
    case KEY_F(11): return {Action::kComDown};
    case KEY_F(12): return {Action::kComUp};
    case Ctrl('f'): return {Action::kComEntry};
    case Ctrl('x'): return {Action::kSquawkEntry};
    case Ctrl('t'): return {Action::kModeCycle};
    case Ctrl('r'): return {Action::kRangeCycle};
    default: break;
  }
  if (key >= 32 && key < 127) return {Action::kType, key};
  return {};
}

KeyAction KeyDecoder::feed(int key) {
  constexpr unsigned kReplacement = 0xFFFD;
  const bool continuation = key >= 0x80 && key <= 0xBF;
  if (missing_ > 0) {
    if (continuation) {
      codePoint_ = (codePoint_ << 6) | static_cast<unsigned>(key & 0x3F);
      if (--missing_ > 0) return {};
      const unsigned c = codePoint_;
      // C1 controls are no letters; the rest of Latin-1 is one byte each.
      if (c >= 0xA0 && c <= 0xFF) return {Action::kType, static_cast<int>(c)};
      return {Action::kUntypable, static_cast<int>(c)};
    }
    missing_ = 0;  // a broken sequence: the key after it counts on its own
  }
  if (key >= 0xC2 && key <= 0xDF) {
    codePoint_ = static_cast<unsigned>(key & 0x1F);
    missing_ = 1;
    return {};
  }
  if (key >= 0xE0 && key <= 0xEF) {
    codePoint_ = static_cast<unsigned>(key & 0x0F);
    missing_ = 2;
    return {};
  }
  if (key >= 0xF0 && key <= 0xF4) {
    codePoint_ = static_cast<unsigned>(key & 0x07);
    missing_ = 3;
    return {};
  }
  if (key >= 0x80 && key <= 0xFF)
    return {Action::kUntypable, static_cast<int>(kReplacement)};
  return MapKey(key);
}

}  // namespace sim::tui
