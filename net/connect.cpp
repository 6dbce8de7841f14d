// The connect window's OK button opens the session; Disconnect, Exit and a
// kill from the server close it. Simulator's thread only.
#include <cstring>
#include <new>

#include "core/host.h"
#include "core/text.h"
#include "net/connection_record.h"
#include "net/ctx_socket.h"
#include "net/login_line.h"
#include "net/session.h"
#include "net/session_state.h"
#include "net/socket_sender.h"
#include "ui/settings.h"
#include "ui/window_codes.h"

namespace talvix {
namespace {

constexpr char kChangeCallsign[] = "Please change your callsign.";
constexpr int kServerTextSize = 20;

void ReadField(std::uint32_t control, char* buffer, int size) {
  host::GetText(codes::kConnectWindow, control, buffer, size);
}

void CopyFieldsIntoRecord(ConnectionRecord& record) {
  ReadField(codes::kCallsignField, record.callsign, sizeof record.callsign);
  ReadField(codes::kUsernameField, record.username, sizeof record.username);
  ReadField(codes::kPasswordField, record.password, sizeof record.password);
  ReadField(codes::kFirstNameField, record.firstName, sizeof record.firstName);
  ReadField(codes::kLastNameField, record.lastName, sizeof record.lastName);
  ReadField(codes::kHomeBaseField, record.homeBase, sizeof record.homeBase);
}

void WriteSettings(const ConnectionRecord& record, int serverItem) {
  host::WriteSettingInt(settings::kServerIP, serverItem);
  host::WriteSettingText(settings::kCallsign, record.callsign);
  host::WriteSettingText(settings::kUsername, record.username);
  host::WriteSettingText(settings::kPassword, record.password);
  host::WriteSettingText(settings::kFirstname, record.firstName);
  host::WriteSettingText(settings::kLastname, record.lastName);
  host::WriteSettingText(settings::kHomebase, record.homeBase);
}

// Creates the session, the sender and the login line and starts both
// threads. A name that does not resolve gives an address list without
// entries, and the session is dead from the start.
void OpenSession(const ConnectionRecord& record) {
  SessionState& state = Session();
  CreateQueueLocks();
  state.server = record.server;
  try {
    const ost::IPV4Host server(record.server);
    state.session = new (std::nothrow) CTXSocket(server);
  } catch (...) {
    state.session = nullptr;
  }
  state.sender = new (std::nothrow) SocketSender(state.session);
  Packet* login = new (std::nothrow) Packet();
  if (state.session == nullptr || state.sender == nullptr || login == nullptr) {
    // Nothing half made stays: a session without its sender would refuse
    // every later Connect.
    delete login;
    delete state.sender;
    state.sender = nullptr;
    delete state.session;
    state.session = nullptr;
    reportFatalMemoryError();
    return;
  }
  state.session->startReceiver();
  state.sender->startSending();
  WriteLoginLine(login, record);
  state.session->queuePacket(login);
}

void CopyServerSelection() {
  char server[kServerTextSize] = {};
  host::GetPopupSelection(codes::kConnectWindow, codes::kServerPopup, server,
                          sizeof server);
  CopyText(Connection().server, server);
}

}  // namespace

void OnConnectWindowEvent(std::uint32_t control, std::uint32_t event,
                          std::uint32_t /*extra*/) {
  if (event == codes::kEventAction) {
    connectToServer(control);
  } else if (event == codes::kEventSelect && control == codes::kServerPopup) {
    CopyServerSelection();
  }
}

void connectToServer(std::uint32_t component) {
  if (component != codes::kOkButton) {
    host::CloseWindow(codes::kConnectWindow);
    return;
  }
  if (host::IsWindowOpen(codes::kAircraftWindow)) return;

  ConnectionRecord& record = Connection();
  CopyFieldsIntoRecord(record);
  if (std::strcmp(record.callsign, settings::kDefaultCallsign) == 0) {
    host::Alert(kChangeCallsign);
    return;
  }

  AircraftRef user{};
  host::UserAircraft(&user);
  char scratch[kServerTextSize] = {};
  const int serverItem = host::GetPopupSelection(
      codes::kConnectWindow, codes::kServerPopup, scratch, sizeof scratch);
  WriteSettings(record, serverItem);
  host::SetNames(user, record.callsign, record.callsign);

  // One session at a time: the user disconnects first.
  if (currentSession() == nullptr) OpenSession(record);
  host::CloseWindow(codes::kConnectWindow);
}

void disconnectFromServer() {
  SessionState& state = Session();
  // The sender writes into the session's stream: it goes first.
  delete state.sender;
  state.sender = nullptr;
  delete state.session;
  state.session = nullptr;
}

}  // namespace talvix
