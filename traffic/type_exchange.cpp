// Answers to other clients' queries ("$CQ") and the aircraft type exchange
// between pilot clients ("#TX").
#include <cstring>
#include <new>
#include <string>

#include "atc/com_tracking.h"
#include "core/guard.h"
#include "core/number_format.h"
#include "core/text.h"
#include "net/connection_record.h"
#include "net/field_reader.h"
#include "net/packet.h"
#include "net/session.h"
#include "protocol/handlers.h"
#include "traffic/aircraft_choice.h"
#include "traffic/traffic_table.h"
#include "ui/history.h"

namespace talvix {
namespace {

bool IsForUs(const std::string& addressee) {
  return addressee == OwnCallsign() || addressee == "*" || addressee == "*P";
}

// An empty packet with the prefix, the own callsign and the asker; null
// (after the alert) when none can be allocated.
Packet* StartAnswer(const char* prefix, const std::string& asker) {
  Packet* packet = new (std::nothrow) Packet;
  if (packet == nullptr) {
    reportFatalMemoryError();
    return nullptr;
  }
  packet->setText(prefix);
  packet->appendField(OwnCallsign());
  packet->appendField(asker.c_str());
  return packet;
}

std::string InformationText() {
  std::string hostName;
  unsigned char address[4] = {0, 0, 0, 0};
  LocalAddress(&hostName, address);
  const ConnectionRecord& me = Connection();
  return std::string("PID= ") + me.username + " V3.1 IP=" + hostName + " (" +
         Format("%i.%i.%i.%i", address[0], address[1], address[2], address[3]) +
         ") FSVER=Fly!2 (" + me.firstName + " " + me.lastName + ")";
}

// "1" and the five digits, with the point after the third character.
std::string FrequencyAnswer() {
  char digits[6];
  ComFrequencyText(digits);
  std::string answer = std::string("1") + digits;
  if (answer.size() > 3) answer.insert(3, ".");
  return answer;
}

void HandleQuery(Packet* packet) {
  FieldReader fields(packet->payload());
  std::string sender = fields.next();
  std::string addressee = fields.next();
  std::string query = fields.next();
  if (!IsForUs(addressee)) return;

  if (query.compare(0, 3, "INF") == 0) {
    Packet* answer = StartAnswer("#TM", sender);
    if (answer == nullptr) return;
    answer->appendField(InformationText().c_str());
    QueueIfSession(answer);
  } else if (query.compare(0, 2, "C?") == 0) {
    Packet* answer = StartAnswer("$CR", sender);
    if (answer == nullptr) return;
    answer->appendField("C?");
    answer->appendField(FrequencyAnswer().c_str());
    QueueIfSession(answer);
  }
}

void AnswerTypeRequest(const std::string& asker) {
  Packet* answer = StartAnswer("#TX", asker);
  if (answer == nullptr) return;
  std::string model = ChosenCsl()[0] == '\0' ? std::string("C172")
                                             : std::string("~") + ChosenCsl();
  answer->appendField("PI");
  answer->appendField("X");
  answer->appendField("0");
  answer->appendField(EngineCode());
  answer->appendField(model.c_str());
  QueueIfSession(answer);
}

void AnswerVersionRequest(const std::string& asker) {
  Packet* answer = StartAnswer("#TX", asker);
  if (answer == nullptr) return;
  answer->appendField("VI");
  answer->appendField("31");
  QueueIfSession(answer);
}

void UseTypeAnswer(FieldReader& fields, TrafficRecord* record) {
  fields.skip();                       // 3
  fields.skip();                       // 4
  std::string engine = fields.next();  // 5
  std::string code = fields.next();    // 6
  if (!ChangeModel(record, code.c_str(), engine.empty() ? '\0' : engine[0])) {
    AddHistoryLine(("Unknown AI type : " + code).c_str());
  }
}

// Records hold callsigns cut to 31 characters; look them up the same way.
TrafficRecord* FindSender(const std::string& sender) {
  char key[sizeof(TrafficRecord::callsign)];
  CopyText(key, sender);
  return FindTraffic(key);
}

void HandleTypeExchange(Packet* packet) {
  FieldReader fields(packet->payload());
  std::string sender = fields.next();
  std::string addressee = fields.next();
  std::string type = fields.next();
  if (!IsForUs(addressee)) return;

  if (type == "PIR") {
    AnswerTypeRequest(sender);
  } else if (type == "VIR") {
    AnswerVersionRequest(sender);
  } else if (type == "PI") {
    TrafficRecord* record = FindSender(sender);
    if (record == nullptr) return;
    RunGuarded("handleMultiplayerType: Talvix exception handled.",
               [&] { UseTypeAnswer(fields, record); });
  } else if (type == "VI") {
    TrafficRecord* record = FindSender(sender);
    if (record != nullptr) record->peerVersion = ParseInt(fields.next());
  }
}

}  // namespace

void handleCQ(Packet* packet) {
  RunGuarded("*****> handleCQ - Talvix: Exception caught. Notify author.", [&] {
    if (packet != nullptr) HandleQuery(packet);
  });
}

void handleTX(Packet* packet) {
  RunGuarded("*****> handleTX - Talvix: Exception caught. Notify author.", [&] {
    if (packet != nullptr) HandleTypeExchange(packet);
  });
}

}  // namespace talvix
