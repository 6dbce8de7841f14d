// Fills the connect window 'txCN' from the settings section "Talvix" and
// keeps what it shows in the connection record.
#include "ui/connect_dialog.h"

#include "core/host.h"
#include "core/text.h"
#include "net/connection_record.h"
#include "ui/settings.h"
#include "ui/window_codes.h"

namespace talvix {
namespace {

constexpr std::uint32_t kWindow = codes::kConnectWindow;

// The dialog's values as the settings give them; a missing key keeps the
// default set here.
struct StoredLogin {
  int serverItem = 0;
  char callsign[settings::kCallsignSize] = "NEWBIE";
  char username[settings::kUsernameSize] = "";
  char password[settings::kPasswordSize] = "";
  char firstName[settings::kFirstnameSize] = "";
  char lastName[settings::kLastnameSize] = "";
  char homeBase[settings::kHomebaseSize] = "";
  int autoPopup = 0;
};

StoredLogin ReadStoredLogin() {
  StoredLogin login;
  host::ReadSettingInt(settings::kServerIP, &login.serverItem);
  host::ReadSettingText(settings::kCallsign, login.callsign,
                        sizeof login.callsign);
  host::ReadSettingText(settings::kUsername, login.username,
                        sizeof login.username);
  host::ReadSettingText(settings::kPassword, login.password,
                        sizeof login.password);
  host::ReadSettingText(settings::kFirstname, login.firstName,
                        sizeof login.firstName);
  host::ReadSettingText(settings::kLastname, login.lastName,
                        sizeof login.lastName);
  host::ReadSettingText(settings::kHomebase, login.homeBase,
                        sizeof login.homeBase);
  host::ReadSettingInt(settings::kAutoPopup, &login.autoPopup);
  return login;
}

}  // namespace

void TakeServerSelection() {
  // One character more than the record holds tells a name that is too long.
  char server[kServerNameMaxLength + 2] = {};
  host::GetPopupSelection(kWindow, codes::kServerPopup, server, sizeof server);
  SetServerName(Connection(), server);
}

void FillConnectDialog() {
  const StoredLogin login = ReadStoredLogin();
  ConnectionRecord& record = Connection();
  record.autoPopup = login.autoPopup == 1 ? 1 : 0;
  CopyText(record.callsign, login.callsign);
  CopyText(record.username, login.username);
  CopyText(record.password, login.password);
  CopyText(record.firstName, login.firstName);
  CopyText(record.lastName, login.lastName);
  CopyText(record.homeBase, login.homeBase);

  host::SelectPopupItem(kWindow, codes::kServerPopup, login.serverItem);
  TakeServerSelection();

  host::SetText(kWindow, codes::kCallsignField, record.callsign);
  host::SetText(kWindow, codes::kUsernameField, record.username);
  host::SetText(kWindow, codes::kPasswordField, record.password);
  host::SetText(kWindow, codes::kFirstNameField, record.firstName);
  host::SetText(kWindow, codes::kLastNameField, record.lastName);
  host::SetText(kWindow, codes::kHomeBaseField, record.homeBase);
  host::SetPasswordDisplay(kWindow, codes::kPasswordField, 1);
}

}  // namespace talvix
