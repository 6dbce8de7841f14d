// The connection menu and the connect window filled from the settings
// section "Talvix".
#include "ui/connect_dialog.h"

#include <gtest/gtest.h>

#include <string>

#include "core/host.h"
#include "net/connection_record.h"
#include "sim/host_table.h"
#include "tests/support/plugin_fixture.h"

namespace talvix {
namespace {

using testing::PluginTest;

class ConnectDialogTest : public PluginTest {
 protected:
  void openConnectWindow() {
    openMainWindow();
    pick("txMN", "cnmn", "conn");
    ASSERT_TRUE(isOpen("txCN"));
  }
  void set(const char* key, const std::string& value) {
    host().model().setSetting("Talvix", key, value);
  }
  // Runs this process's own copy of the plug-in code against the same host,
  // to read the connection record that the shared library keeps hidden.
  void fillWithLocalCopy() {
    const HostServicesTable table = sim::BuildHostTable();
    host::Install(&table, sim::kReferenceNumber);
    FillConnectDialog();
  }
};

TEST_F(ConnectDialogTest, EmptySettingsShowNewbieAndTheFirstServer) {
  openConnectWindow();
  EXPECT_TRUE(isOpen("txAC"));  // no aircraft chosen yet
  EXPECT_EQ(control("txCN", "csgn")->text, "NEWBIE");
  EXPECT_EQ(control("txCN", "user")->text, "");
  EXPECT_EQ(control("txCN", "pwd_")->text, "");
  EXPECT_EQ(control("txCN", "fnam")->text, "");
  EXPECT_EQ(control("txCN", "lnam")->text, "");
  EXPECT_EQ(control("txCN", "base")->text, "");
  EXPECT_EQ(control("txCN", "ipMN")->selected, 0);
  EXPECT_TRUE(control("txCN", "pwd_")->password);
  EXPECT_FALSE(control("txCN", "csgn")->password);
  EXPECT_EQ(state().windows.at(FourCC("txCN")).signature,
            sim::kPluginSignature);
}

TEST_F(ConnectDialogTest, StoredValuesFillTheFieldsCutToTheirSizes) {
  set("ServerIP", "1");
  set("Callsign", "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  set("Username", "123");
  set("Password", "secret");
  set("Firstname", "Jo");
  set("Lastname", std::string(200, 'L'));
  set("Homebase", "KSFOKLAXKJFK");
  openConnectWindow();
  EXPECT_EQ(control("txCN", "ipMN")->selected, 1);
  EXPECT_EQ(control("txCN", "csgn")->text, "ABCDEFGHIJKLMN");  // 14 + NUL
  EXPECT_EQ(control("txCN", "user")->text, "123");
  EXPECT_EQ(control("txCN", "pwd_")->text, "secret");
  EXPECT_EQ(control("txCN", "fnam")->text, "Jo");
  EXPECT_EQ(control("txCN", "lnam")->text, std::string(127, 'L'));
  EXPECT_EQ(control("txCN", "base")->text, "KSFOKLAXK");  // read with 10
}

TEST_F(ConnectDialogTest, RecordTakesTheServerTextAndTheAutoPopupFlag) {
  openConnectWindow();
  set("ServerIP", "1");
  set("AutoPopup", "2");
  fillWithLocalCopy();
  EXPECT_STREQ(Connection().server, "localhost");
  EXPECT_EQ(Connection().autoPopup, 0);  // only 1 counts as on here

  set("AutoPopup", "1");
  set("Callsign", "ABC");
  fillWithLocalCopy();
  EXPECT_EQ(Connection().autoPopup, 1);
  EXPECT_STREQ(Connection().callsign, "ABC");

  // An id the popup lacks leaves the selection to the host; the record
  // takes whatever the popup then shows.
  set("ServerIP", "9");
  fillWithLocalCopy();
  EXPECT_STREQ(Connection().server, "localhost");
}

// A server name is held whole up to 63 characters; a longer one is never
// cut into a name nobody chose: the record keeps none and marks it.
TEST_F(ConnectDialogTest, ServerNamesAreHeldWholeOrMarkedTooLong) {
  openConnectWindow();
  const struct {
    int item;
    std::string name;
    bool tooLong;
  } rows[] = {{5, "a-very-long-server-name.example", false},
              {6, std::string(63, 'a'), false},
              {8, std::string(64, 'b'), true},
              {9, std::string(500, 'c'), true},
              {1, "localhost", false}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.name.size());
    if (row.item != 1) {
      host().model().addPopupItem(static_cast<int>(FourCC("txCN")),
                                  static_cast<int>(FourCC("ipMN")), row.item,
                                  row.name.c_str());
    }
    set("ServerIP", std::to_string(row.item));
    fillWithLocalCopy();
    EXPECT_EQ(Connection().server, row.tooLong ? "" : row.name);
    EXPECT_EQ(Connection().serverTooLong, row.tooLong);
  }
}

TEST_F(ConnectDialogTest, OpenWindowsAreNotOpenedOrFilledTwice) {
  openConnectWindow();
  host().model().setText(static_cast<int>(FourCC("txCN")),
                         static_cast<int>(FourCC("csgn")), "TYPED");
  pick("txMN", "cnmn", "conn");
  EXPECT_EQ(control("txCN", "csgn")->text, "TYPED");

  // Aircraft window closed by the user: only it comes back.
  ASSERT_TRUE(host().userClose(FourCC("txAC")));
  pick("txMN", "cnmn", "conn");
  EXPECT_TRUE(isOpen("txAC"));
  EXPECT_EQ(control("txCN", "csgn")->text, "TYPED");
}

}  // namespace
}  // namespace talvix
