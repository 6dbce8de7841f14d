// The commands of the command line. Every one echoes a line to the history
// once its request is written to the server.
#include "ui/command_line_commands.h"

#include <initializer_list>
#include <new>

#include "atc/com_tracking.h"
#include "core/text.h"
#include "net/connection_record.h"
#include "net/field_reader.h"
#include "net/session.h"
#include "platform/platform.h"
#include "ui/history.h"
#include "ui/typed_fields.h"
#include "voice/voice_control.h"

namespace talvix::commands {
namespace {

constexpr char kMessageUsage[] = "Usage: .msg CALLSIGN TEXT";
// The blanks the library tokenizer splits at by default.
constexpr char kWhitespace[] = " \t\n\r\f\v";

void Post(const std::string& line) { AddHistoryLine(line.c_str()); }

// False, with the line that says why, when the text may not be a field.
bool FieldAccepted(const char* name, const std::string& text) {
  if (IsSafeField(text)) return true;
  Post(UnsafeFieldLine(name));
  return false;
}
constexpr char kStation[] = "Station";
constexpr char kCallsign[] = "Callsign";

// Refused, with the line that says why, when the message text holds a
// control character.
bool TextAccepted(const std::string& text) {
  if (IsSafeText(text)) return true;
  Post(UnsafeTextLine("Message"));
  return false;
}

// A session that went away since the text was read is said; one that is
// there but no longer connected drops the line without a word.
void Deliver(Packet* packet) {
  if (currentSession() == nullptr) {
    delete packet;
    AddHistoryLine(kConnectFirst);
    return;
  }
  QueueIfConnected(packet);
}

// The target callsign is the argument's first token; exactly one separator
// after it is dropped and the rest, blanks included, is the message.
bool SplitMessage(const std::string& argument, std::string* target,
                  std::string* message) {
  try {
    FieldReader tokens(argument.c_str(), kWhitespace);
    *target = tokens.next();
  } catch (const ost::StringTokenizer::NoSuchElementException&) {
    return false;
  }
  if (target->empty()) return false;
  const std::size_t start = target->size() + 1;
  *message = start < argument.size() ? argument.substr(start) : "";
  return true;
}

// Sends a line of the prefix with the fields; the echo is posted once the
// line is written. Without memory for it, the fatal memory alert and
// nothing else.
void SendFields(const char* prefix, std::initializer_list<std::string> fields,
                const std::string& echo) {
  Packet* packet = new (std::nothrow) Packet();
  if (packet == nullptr) {
    reportFatalMemoryError();
    return;
  }
  packet->setText(prefix);
  for (const std::string& field : fields) packet->appendField(field.c_str());
  packet->setSentNote(echo);
  Deliver(packet);
}

}  // namespace

bool RequestAtis(const std::string& station) {
  if (!FieldAccepted(kStation, station)) return false;
  SendFields("$CQ", {OwnCallsign(), station, "ATIS"}, "ATIS ON REQUEST");
  return true;
}

bool RequestAcars(const std::string& station) {
  if (!FieldAccepted(kStation, station)) return false;
  SendFields("$AX", {OwnCallsign(), "SERVER", "METAR", station},
             "ACARS ON REQUEST");
  return true;
}

// The local time rides along so that the answer can be timed.
bool SendPing(const std::string& callsign) {
  if (!FieldAccepted(kCallsign, callsign)) return false;
  const platform::CalendarTime now = platform::LocalNow();
  SendFields("$PI",
             {OwnCallsign(), ToUpper(callsign), std::to_string(now.hour),
              std::to_string(now.minute), std::to_string(now.second)},
             "Ping Sent");
  return true;
}

bool JoinVoiceChannel(const std::string& address) {
  if (RogerWilcoJoin(address.c_str())) {
    Post("RW Connecting to: " + address);
  } else {
    Post("Error activating RW");
  }
  return true;
}

bool LeaveVoiceChannel() {
  Post(RogerWilcoLeave() ? "Left RW channel" : "Error deactivating RW");
  return true;
}

bool SendPrivateMessage(const std::string& argument) {
  std::string target, message;
  if (!SplitMessage(argument, &target, &message)) {
    Post(kMessageUsage);
    return false;
  }
  if (!FieldAccepted(kCallsign, target) || !TextAccepted(message)) return false;
  SendFields("#TM", {OwnCallsign(), target, message},
             ToUpper(target) + " <-- " + message);
  return true;
}

bool RequestWeather(const std::string& station) {
  if (!FieldAccepted(kStation, station)) return false;
  SendFields("#WX", {OwnCallsign(), "SERVER", station},
             "Requested weather for " + station);
  return true;
}

bool RequestMetar(const std::string& station) {
  if (!FieldAccepted(kStation, station)) return false;
  const std::string upper = ToUpper(station);
  SendFields("$AX", {OwnCallsign(), "SERVER", "METAR", upper},
             "Requested METAR for " + upper);
  return true;
}

bool SendFrequencyChat(const std::string& line) {
  if (!TextAccepted(line)) return false;
  char frequency[6];
  ComFrequencyText(frequency);
  SendFields("#TM", {OwnCallsign(), std::string("@") + frequency, line},
             std::string(OwnCallsign()) + ": " + line);
  return true;
}

}  // namespace talvix::commands
