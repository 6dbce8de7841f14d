// The connect window's OK button: the login line on the wire, the settings
// written, and the cases where nothing is connected.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/protocol/session_plugin_fixture.h"

namespace talvix {
namespace {

using testing::LoopbackPeer;
using testing::SessionPluginTest;

using ConnectLoginTest = SessionPluginTest;

TEST_F(ConnectLoginTest, OkSendsTheLoginLineByteForByteAndSavesTheSettings) {
  LoopbackPeer peer("127.0.0.110");
  ASSERT_TRUE(peer.listening());
  openConnectWindow();
  fill("127.0.0.110");
  pressOk();
  EXPECT_FALSE(isOpen("txCN"));
  ASSERT_TRUE(peer.accept());
  ASSERT_EQ(peer.readLine(), "#APABC:SERVER:123:pw:1:9:3:Jo Lee KSFO");
  EXPECT_EQ(peer.raw(), "#APABC:SERVER:123:pw:1:9:3:Jo Lee KSFO\r\n");
  EXPECT_EQ(setting("ServerIP"), std::to_string(kServerItem));
  EXPECT_EQ(setting("Callsign"), "ABC");
  EXPECT_EQ(setting("Username"), "123");
  EXPECT_EQ(setting("Password"), "pw");
  EXPECT_EQ(setting("Firstname"), "Jo");
  EXPECT_EQ(setting("Lastname"), "Lee");
  EXPECT_EQ(setting("Homebase"), "KSFO");
  // The user's aircraft carries the callsign as its name and label.
  EXPECT_EQ(state().user.names[0], "ABC");
  EXPECT_EQ(state().user.names[1], "ABC");
}

// The server is taken when its popup reports a choice, not on another
// control's selection.
TEST_F(ConnectLoginTest, OnlyTheServerPopupsSelectionChoosesTheServer) {
  LoopbackPeer peer("127.0.0.239");
  ASSERT_TRUE(peer.listening());
  openConnectWindow();
  fill("127.0.0.239");
  host().model().addPopupItem(static_cast<int>(FourCC("txCN")),
                              static_cast<int>(FourCC("ipMN")), kServerItem + 1,
                              "127.0.0.240");
  host().model().selectPopupItem(static_cast<int>(FourCC("txCN")),
                                 static_cast<int>(FourCC("ipMN")),
                                 kServerItem + 1);
  event("txCN", "csgn", "slct", kServerItem + 1);
  pressOk();
  ASSERT_TRUE(peer.accept());
  EXPECT_EQ(peer.readLine(), "#APABC:SERVER:123:pw:1:9:3:Jo Lee KSFO");
}

TEST_F(ConnectLoginTest, EmptyNamesStillGiveTwoBlanksAndLongFieldsAreCut) {
  LoopbackPeer peer("127.0.0.111");
  ASSERT_TRUE(peer.listening());
  openConnectWindow();
  // The callsign holds 14 characters; a longer one is refused, not cut.
  fill("127.0.0.111", "ABCDEFGHIJKLMN");
  type("user", "12345678901234567890");
  type("fnam", "");
  type("lnam", "");
  type("base", "");
  pressOk();
  ASSERT_TRUE(peer.accept());
  EXPECT_EQ(peer.readLine(),
            "#APABCDEFGHIJKLMN:SERVER:12345678901234:pw:1:9:3:  ");
}

// Every field of the login line as typed: a callsign outside its rule, or
// a ":" or control character in any other field, is refused at OK with a
// line that names it. Nothing is sent, nothing written, the record keeps
// its callsign and the window stays open for the fix.
TEST_F(ConnectLoginTest, FieldsThatWouldCorruptTheLoginLineAreRefused) {
  const std::string rule = "Callsign must be 1 to 14 letters, digits, _ or -.";
  auto unsafe = [](const std::string& name) {
    return name + " may not contain \":\" or control characters.";
  };
  const struct {
    char field[5];
    std::string typed;
    std::string refusal;  // "" when accepted
    const char* login;    // the line sent when accepted
  } rows[] = {
      {"csgn", "AB:C", rule, nullptr},
      {"csgn", "AB:C D", rule, nullptr},
      {"csgn", "AB C", rule, nullptr},
      {"csgn", "AB\tC", rule, nullptr},
      {"csgn", "ABC.", rule, nullptr},
      {"csgn", "\xc3\x84BC", rule, nullptr},
      {"csgn", "", rule, nullptr},
      // The neighbours of each allowed range.
      {"csgn", "ABCDEFGHIJKLMNO", rule, nullptr},  // 15
      {"csgn", std::string(80, 'A'), rule, nullptr},
      {"user", "12:3", unsafe("Username"), nullptr},
      {"user", "12\r\n3", unsafe("Username"), nullptr},
      {"pwd_", "p:w", unsafe("Password"), nullptr},
      {"pwd_", "p\x7fw", unsafe("Password"), nullptr},
      {"fnam", "J:o", unsafe("First name"), nullptr},
      {"lnam", "Lee\x1b", unsafe("Last name"), nullptr},
      {"lnam", "Lee\x1f", unsafe("Last name"), nullptr},
      {"fnam", "\x01Jo", unsafe("First name"), nullptr},
      {"base", "KS:FO", unsafe("Home base"), nullptr},
      {"csgn", "a_B-9", "", "#APa_B-9:SERVER:123:pw:1:9:3:Jo Lee KSFO"},
      {"csgn", "AZaz09_-", "", "#APAZaz09_-:SERVER:123:pw:1:9:3:Jo Lee KSFO"},
      {"csgn", "N", "", "#APN:SERVER:123:pw:1:9:3:Jo Lee KSFO"},
      {"csgn", "ABCDEFGHIJKLMN", "",
       "#APABCDEFGHIJKLMN:SERVER:123:pw:1:9:3:Jo Lee KSFO"},
      {"pwd_", "p w-\xc3\xa9!~", "",
       "#APABC:SERVER:123:p w-\xc3\xa9!~:1:9:3:Jo Lee KSFO"},
      {"lnam", "O'Neil-Lee Jr.", "",
       "#APABC:SERVER:123:pw:1:9:3:Jo O'Neil-Lee Jr. KSFO"},
  };
  LoopbackPeer peer("127.0.0.82");
  ASSERT_TRUE(peer.listening());
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.field) + " " + row.typed);
    host().model().modify([](sim::HostState& s) { s.alerts.clear(); });
    const auto settingsBefore = host().model().settings("Talvix");
    openConnectWindow();
    fill("127.0.0.82");
    type(row.field, row.typed);
    pressOk();
    if (!row.refusal.empty()) {
      EXPECT_EQ(state().alerts, std::vector<std::string>{row.refusal});
      EXPECT_EQ(state().windows.at(FourCC("txCN")).focus, FourCC(row.field));
      EXPECT_TRUE(isOpen("txCN"));
      EXPECT_EQ(host().model().settings("Talvix"), settingsBefore);
      EXPECT_FALSE(peer.accept(200));
      event("txCN", "cnBn", "actn");
      continue;
    }
    EXPECT_TRUE(state().alerts.empty());
    EXPECT_FALSE(isOpen("txCN"));
    ASSERT_TRUE(peer.accept());
    EXPECT_EQ(peer.readLine(), row.login);
    disconnect();
    peer.closeClient();
  }

  // While connected, a refused OK leaves the callsign in use as it was.
  connect(peer, "127.0.0.82");
  openConnectWindow();
  type("csgn", "AB:C");
  pressOk();
  EXPECT_TRUE(isOpen("txCN"));
  ASSERT_TRUE(peer.send("$PIQQQ:ABC:5\r\n"));
  EXPECT_EQ(answer(peer), "$POABC:QQQ:5");
  disconnect();
}

TEST_F(ConnectLoginTest, NewbieIsRefusedButOtherLetterCaseIsAccepted) {
  LoopbackPeer peer("127.0.0.112");
  ASSERT_TRUE(peer.listening());
  openConnectWindow();
  fill("127.0.0.112", "NEWBIE");
  pressOk();
  ASSERT_EQ(state().alerts.size(), 1u);
  EXPECT_EQ(state().alerts[0], "Please change your callsign.");
  EXPECT_TRUE(isOpen("txCN"));
  EXPECT_FALSE(setting("Callsign").has_value());
  EXPECT_FALSE(peer.accept(300));

  type("csgn", "Newbie");
  pressOk();
  ASSERT_TRUE(peer.accept());
  EXPECT_EQ(peer.readLine(), "#APNewbie:SERVER:123:pw:1:9:3:Jo Lee KSFO");
}

TEST_F(ConnectLoginTest, OtherButtonsAndAnOpenAircraftWindowConnectNothing) {
  LoopbackPeer peer("127.0.0.113");
  ASSERT_TRUE(peer.listening());
  pick("txMN", "cnmn", "conn");
  ASSERT_TRUE(isOpen("txAC"));  // no aircraft chosen yet
  fill("127.0.0.113");
  pressOk();
  EXPECT_TRUE(isOpen("txCN"));
  EXPECT_FALSE(setting("Callsign").has_value());

  event("txCN", "cnBn", "actn");
  EXPECT_FALSE(isOpen("txCN"));
  EXPECT_FALSE(setting("Callsign").has_value());
  EXPECT_FALSE(peer.accept(300));
}

TEST_F(ConnectLoginTest, OkWhileASessionExistsSavesButDoesNotConnectAgain) {
  LoopbackPeer peer("127.0.0.114");
  connect(peer, "127.0.0.114");
  openConnectWindow();
  fill("127.0.0.114", "XYZ");
  pressOk();
  EXPECT_FALSE(isOpen("txCN"));
  EXPECT_EQ(setting("Callsign"), "XYZ");
  LoopbackPeer* first = &peer;
  // The first connection still carries the lines; no second one comes.
  ASSERT_TRUE(first->send("$PIQQQ:XYZ:5\r\n"));
  ASSERT_TRUE(pump([&] { return historyHas("PONG Sent"); }));
  EXPECT_EQ(answer(*first), "$POXYZ:QQQ:5");
  EXPECT_FALSE(peer.accept(300));
}

}  // namespace
}  // namespace talvix
