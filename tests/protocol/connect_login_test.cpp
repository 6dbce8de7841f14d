// The connect window's OK button: the login line on the wire, the settings
// written, and the cases where nothing is connected.
#include <gtest/gtest.h>

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
  fill("127.0.0.111", "ABCDEFGHIJKLMNOPQRST");
  type("fnam", "");
  type("lnam", "");
  type("base", "");
  pressOk();
  ASSERT_TRUE(peer.accept());
  // The callsign holds 14 characters.
  EXPECT_EQ(peer.readLine(), "#APABCDEFGHIJKLMN:SERVER:123:pw:1:9:3:  ");
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
