// Finds the user's transponder through the host's message operation and
// reads its mode and reply indicator.
#include <cmath>
#include <cstring>

#include "core/fourcc.h"
#include "core/host.h"
#include "net/connection_record.h"
#include "protocol/own_aircraft.h"
#include "ui/main_window.h"

namespace talvix {
namespace {

int g_modeIndex = 0;

const char* const kModeNames[] = {"Off", "Standby", "Mode A", "Mode C"};

void Ask(HostMessage& message, std::uint32_t dataTag) {
  message.id = FourCC("getd");
  message.valueType = FourCC("int ");
  std::memset(message.value, 0, sizeof message.value);
  message.dataTag = dataTag;
  host::SendHostMessage(&message);
}

bool LookUp(HostMessage& message, std::uint32_t destination) {
  std::memset(&message, 0, sizeof message);
  message.destination = destination;
  Ask(message, FourCC("mode"));
  return message.receiver != 0;
}

// A 'real' answer is a double truncated toward zero; any other an int32.
int AnswerAsInt(const HostMessage& message) {
  if (message.valueType == FourCC("real")) {
    double value;
    std::memcpy(&value, message.value, sizeof value);
    // Out-of-range or NaN answers would make the conversion undefined.
    if (!(value > -2147483648.0 && value < 2147483648.0)) return 0;
    return static_cast<int>(value);
  }
  std::int32_t value;
  std::memcpy(&value, message.value, sizeof value);
  return value;
}

}  // namespace

int TransponderModeIndex() { return g_modeIndex; }

const char* TransponderModeName(int index) {
  if (index < 0 || index > 3) return kModeNames[0];
  return kModeNames[index];
}

bool FindTransponder() {
  HostMessage& message = OwnAircraft().transponderMessage;
  if (LookUp(message, FourCC("kt76"))) return true;
  return LookUp(message, FourCC("xpdr"));
}

char ReadTransponderMode() {
  HostMessage& message = OwnAircraft().transponderMessage;
  if (message.receiver == 0) FindTransponder();

  Ask(message, FourCC("mode"));
  int mode = AnswerAsInt(message);
  Ask(message, FourCC("rply"));
  int reply = AnswerAsInt(message);

  if (message.receiver == 0) FindTransponder();

  int index = 1;
  char letter = 'S';
  switch (mode) {
    case 0: index = 0; break;
    case 5:
      index = 2;
      letter = 'N';
      break;
    case 6:
      index = 3;
      letter = 'N';
      break;
    default: break;
  }
  if (index != g_modeIndex) {
    g_modeIndex = index;
    Connection().transponderMode = index;
    ShowTransponderMode();
  }
  if (letter == 'N' && reply != 0) letter = 'Y';
  return letter;
}

}  // namespace talvix
