// The connection record: who the user is and where to connect. Filled from
// the settings when the connect window opens, from its fields on OK.
#pragma once

#include <cstddef>

namespace talvix {

// The longest server name the record holds. A longer one is never cut and
// tried: the record keeps no name and marks it too long.
constexpr std::size_t kServerNameMaxLength = 63;

struct ConnectionRecord {
  char server[kServerNameMaxLength + 1];
  char callsign[15];
  char username[15];
  char password[15];
  char firstName[30];
  char lastName[128];
  char homeBase[13];
  int mpDistance;
  int transponderMode;
  int autoPopup;       // the "AutoPopup" setting read as a flag (1 only)
  bool serverTooLong;  // the chosen server's name did not fit
};

ConnectionRecord& Connection();
// The user's callsign, read by many parts.
inline const char* OwnCallsign() { return Connection().callsign; }

// Takes the server name whole, or none and the too-long mark when it has
// more than kServerNameMaxLength characters.
void SetServerName(ConnectionRecord& record, const char* name);

}  // namespace talvix
