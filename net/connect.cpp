// The connect window's OK button opens the session; Disconnect, Exit and a
// kill from the server close it. Simulator's thread only.
#include <cstring>
#include <new>
#include <string>

#include "core/host.h"
#include "core/text.h"
#include "net/connection_record.h"
#include "net/ctx_socket.h"
#include "net/login_line.h"
#include "net/session.h"
#include "net/session_state.h"
#include "net/socket_sender.h"
#include "ui/connect_dialog.h"
#include "ui/field_alert.h"
#include "ui/settings.h"
#include "ui/typed_fields.h"
#include "ui/window_codes.h"

namespace talvix {
namespace {

constexpr char kChangeCallsign[] = "Please change your callsign.";
constexpr char kServerTooLong[] =
    "Server name longer than 63 characters: choose another server.";

void ReadField(std::uint32_t control, char* buffer, int size) {
  host::GetText(codes::kConnectWindow, control, buffer, size);
}

// The fields as typed. The callsign is read with one character more than
// the record holds, so that a longer one is refused rather than cut to one
// that was never typed.
struct TypedLogin {
  char callsign[sizeof ConnectionRecord::callsign + 1];
  char username[sizeof ConnectionRecord::username];
  char password[sizeof ConnectionRecord::password];
  char firstName[sizeof ConnectionRecord::firstName];
  char lastName[sizeof ConnectionRecord::lastName];
  char homeBase[sizeof ConnectionRecord::homeBase];
};

void ReadTypedLogin(TypedLogin& typed) {
  ReadField(codes::kCallsignField, typed.callsign, sizeof typed.callsign);
  ReadField(codes::kUsernameField, typed.username, sizeof typed.username);
  ReadField(codes::kPasswordField, typed.password, sizeof typed.password);
  ReadField(codes::kFirstNameField, typed.firstName, sizeof typed.firstName);
  ReadField(codes::kLastNameField, typed.lastName, sizeof typed.lastName);
  ReadField(codes::kHomeBaseField, typed.homeBase, sizeof typed.homeBase);
}

// What refuses the login; nothing when every field may go into the login
// line.
FieldRefusal LoginRefusal(const TypedLogin& typed,
                          const ConnectionRecord& record) {
  if (std::strcmp(typed.callsign, settings::kDefaultCallsign) == 0)
    return {kChangeCallsign, codes::kCallsignField};
  if (!IsValidCallsign(typed.callsign))
    return {kCallsignRule, codes::kCallsignField};
  const struct {
    const char* name;
    const char* text;
    std::uint32_t field;
  } fields[] = {{"Username", typed.username, codes::kUsernameField},
                {"Password", typed.password, codes::kPasswordField},
                {"First name", typed.firstName, codes::kFirstNameField},
                {"Last name", typed.lastName, codes::kLastNameField},
                {"Home base", typed.homeBase, codes::kHomeBaseField}};
  for (const auto& field : fields) {
    if (!IsSafeField(field.text))
      return {UnsafeFieldLine(field.name), field.field};
  }
  if (record.serverTooLong) return {kServerTooLong, codes::kServerPopup};
  return {};
}

void CopyIntoRecord(const TypedLogin& typed, ConnectionRecord& record) {
  CopyText(record.callsign, typed.callsign);
  CopyText(record.username, typed.username);
  CopyText(record.password, typed.password);
  CopyText(record.firstName, typed.firstName);
  CopyText(record.lastName, typed.lastName);
  CopyText(record.homeBase, typed.homeBase);
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

}  // namespace

void OnConnectWindowEvent(std::uint32_t control, std::uint32_t event,
                          std::uint32_t /*extra*/) {
  if (event == codes::kEventAction) {
    connectToServer(control);
  } else if (event == codes::kEventSelect && control == codes::kServerPopup) {
    TakeServerSelection();
  }
}

void connectToServer(std::uint32_t component) {
  if (component != codes::kOkButton) {
    host::CloseWindow(codes::kConnectWindow);
    return;
  }
  if (host::IsWindowOpen(codes::kAircraftWindow)) return;

  // A refused login changes nothing: not the record, not the settings.
  ConnectionRecord& record = Connection();
  TypedLogin typed;
  ReadTypedLogin(typed);
  const FieldRefusal refusal = LoginRefusal(typed, record);
  if (refusal.refused()) {
    AlertAtField(codes::kConnectWindow, refusal);
    return;
  }
  CopyIntoRecord(typed, record);

  AircraftRef user{};
  host::UserAircraft(&user);
  char scratch[sizeof record.server] = {};
  const int serverItem = host::GetPopupSelection(
      codes::kConnectWindow, codes::kServerPopup, scratch, sizeof scratch);
  WriteSettings(record, serverItem);
  host::SetNames(user, record.callsign, record.callsign);

  // One session at a time: the user disconnects first.
  if (currentSession() == nullptr) OpenSession(record);
  host::CloseWindow(codes::kConnectWindow);
}

int StopSending() {
  SessionState& state = Session();
  int unwritten = 0;
  if (state.sender != nullptr) {
    state.sender->stopSending();  // ended: nothing changes from here on
    unwritten = state.sender->unwrittenLines();
  }
  // The sender writes into the session's socket: it goes first.
  delete state.sender;
  state.sender = nullptr;
  // The plug-in's own requests to other pilots are not counted: nobody
  // waits for them once the session is gone.
  if (state.session != nullptr)
    unwritten += state.session->outgoing().lane(OutgoingQueue::kLines).count();
  return unwritten;
}

void disconnectFromServer() {
  SessionState& state = Session();
  StopSending();
  delete state.session;
  state.session = nullptr;
}

}  // namespace talvix
