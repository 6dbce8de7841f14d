// The commands of the command line. Every one echoes a line to the history
// once its request is on its way.
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

// Allocates a line of the prefix with the fields and hands it on; false
// (after the fatal memory alert) when it cannot be allocated.
bool SendFields(const char* prefix, std::initializer_list<std::string> fields) {
  Packet* packet = new (std::nothrow) Packet();
  if (packet == nullptr) {
    reportFatalMemoryError();
    return false;
  }
  packet->setText(prefix);
  for (const std::string& field : fields) packet->appendField(field.c_str());
  Deliver(packet);
  return true;
}

}  // namespace

void RequestAtis(const std::string& station) {
  if (FieldAccepted(kStation, station) &&
      SendFields("$CQ", {OwnCallsign(), station, "ATIS"}))
    Post("ATIS ON REQUEST");
}

void RequestAcars(const std::string& station) {
  if (FieldAccepted(kStation, station) &&
      SendFields("$AX", {OwnCallsign(), "SERVER", "METAR", station}))
    Post("ACARS ON REQUEST");
}

// The local time rides along so that the answer can be timed.
void SendPing(const std::string& callsign) {
  if (!FieldAccepted(kCallsign, callsign)) return;
  const platform::CalendarTime now = platform::LocalNow();
  if (SendFields("$PI",
                 {OwnCallsign(), ToUpper(callsign), std::to_string(now.hour),
                  std::to_string(now.minute), std::to_string(now.second)}))
    Post("Ping Sent");
}

void JoinVoiceChannel(const std::string& address) {
  if (RogerWilcoJoin(address.c_str())) {
    Post("RW Connecting to: " + address);
  } else {
    Post("Error activating RW");
  }
}

void LeaveVoiceChannel() {
  Post(RogerWilcoLeave() ? "Left RW channel" : "Error deactivating RW");
}

void SendPrivateMessage(const std::string& argument) {
  std::string target, message;
  if (!SplitMessage(argument, &target, &message)) {
    Post(kMessageUsage);
    return;
  }
  if (!FieldAccepted(kCallsign, target)) return;
  if (SendFields("#TM", {OwnCallsign(), target, message}))
    Post(ToUpper(target) + " <-- " + message);
}

void RequestWeather(const std::string& station) {
  if (FieldAccepted(kStation, station) &&
      SendFields("#WX", {OwnCallsign(), "SERVER", station}))
    Post("Requested weather for " + station);
}

void RequestMetar(const std::string& station) {
  if (!FieldAccepted(kStation, station)) return;
  const std::string upper = ToUpper(station);
  if (SendFields("$AX", {OwnCallsign(), "SERVER", "METAR", upper}))
    Post("Requested METAR for " + upper);
}

void SendFrequencyChat(const std::string& line) {
  char frequency[6];
  ComFrequencyText(frequency);
  if (SendFields("#TM", {OwnCallsign(), std::string("@") + frequency, line}))
    Post(std::string(OwnCallsign()) + ": " + line);
}

}  // namespace talvix::commands
