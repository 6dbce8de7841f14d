// The connection record: who the user is and where to connect. Filled from
// the settings when the connect window opens, from its fields on OK.
#pragma once

namespace talvix {

struct ConnectionRecord {
  char server[20];
  char callsign[15];
  char username[15];
  char password[15];
  char firstName[30];
  char lastName[128];
  char homeBase[13];
  int mpDistance;
  int transponderMode;
  int autoPopup;  // the "AutoPopup" setting read as a flag (1 only)
};

ConnectionRecord& Connection();
// The user's callsign, read by many parts.
inline const char* OwnCallsign() { return Connection().callsign; }

}  // namespace talvix
