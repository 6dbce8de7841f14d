#include "net/connection_record.h"

#include <cstring>

#include "core/text.h"

namespace talvix {
namespace {
ConnectionRecord MakeDefaults() {
  ConnectionRecord record{};
  CopyText(record.server, "127.0.0.1");
  CopyText(record.callsign, "NEWBIE");
  return record;
}
ConnectionRecord g_connection = MakeDefaults();
}  // namespace

ConnectionRecord& Connection() { return g_connection; }

void SetServerName(ConnectionRecord& record, const char* name) {
  if (name == nullptr) name = "";
  record.serverTooLong =
      strnlen(name, kServerNameMaxLength + 1) > kServerNameMaxLength;
  CopyText(record.server, record.serverTooLong ? "" : name);
}

}  // namespace talvix
