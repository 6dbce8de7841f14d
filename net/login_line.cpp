#include "net/login_line.h"

#include <string>

namespace talvix {

void WriteLoginLine(Packet* packet, const ConnectionRecord& record) {
  packet->setText("#AP");
  packet->appendField(record.callsign);
  packet->appendField("SERVER");
  packet->appendField(record.username);
  packet->appendField(record.password);
  packet->appendField("1");
  packet->appendField("9");
  packet->appendField("3");
  // Both blanks stay even when the names are empty.
  const std::string name = std::string(record.firstName) + " " +
                           record.lastName + " " + record.homeBase;
  packet->appendField(name.c_str());
}

}  // namespace talvix
