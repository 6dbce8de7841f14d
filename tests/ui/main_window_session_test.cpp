// The main window closed while connected and opened again: what it held
// comes back, with what arrived meanwhile, through the real plug-in and a
// loopback peer that plays the network.
#include <gtest/gtest.h>

#include <chrono>
#include <set>
#include <string>
#include <vector>

#include "tests/atc/atc_session_fixture.h"

namespace talvix {
namespace {

using testing::AtcSessionTest;
using testing::kTowerLine;
using testing::kTowerSwitch;
using Lines = std::vector<std::string>;

class MainWindowSessionTest : public AtcSessionTest {
 protected:
  void SetUp() override {
    AtcSessionTest::SetUp();
    if (HasFatalFailure()) return;
    host().model().modify([](sim::HostState& s) {
      s.user.position = {37.60 * 3600, (360 - 122.40) * 3600, 1000};
    });
    pick("txMN", "mp__", "mp00");  // 100 nm
  }

  // A position report of a pilot near the user, or far out of range.
  static std::string pilot(const std::string& callsign, bool near = true) {
    return "@N:" + callsign + ":1200:1:" + (near ? "37.61" : "47.61") +
           ":-122.39:3500:120:1024:0";
  }
  Lines pilotItems() const {
    Lines texts;
    if (auto popup = control("txMN", "spMg")) {
      for (const auto& item : popup->items) texts.push_back(item.text);
    }
    return texts;
  }
  // Item ids are each pilot's own: no two items share one.
  bool pilotIdsDistinct() const {
    std::set<int> ids;
    auto popup = control("txMN", "spMg");
    if (!popup) return false;
    for (const auto& item : popup->items)
      if (!ids.insert(item.id).second) return false;
    return true;
  }
  // While the window is closed the history cannot show that a line was
  // handled: a ping sent after the lines is answered once they were.
  void deliverWhileClosed(const std::string& lines) {
    ASSERT_FALSE(isOpen("txMN"));
    ASSERT_TRUE(peer().send(lines + "$PISERVER:ABC:7\r\n"));
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
      const auto line = answer(peer(), 200);
      if (line && line->rfind("$PO", 0) == 0) return;
      ASSERT_LT(std::chrono::steady_clock::now(), deadline)
          << "no pong: the lines were not handled";
    }
  }
};

TEST_F(MainWindowSessionTest, ReopenedWindowShowsWhatItHeldAndWhatCame) {
  start("127.0.0.217");
  deliver(kTowerLine);
  deliver("%NCT_APP:35650:4:50:3");
  deliver("%XYZ_ATIS:27350:4:50:3");  // no controller position: no item
  deliver(pilot("DLH1"));
  deliver(pilot("AAL7"));
  pickStation("XYZ_TWR");
  ASSERT_TRUE(historyHas(kTowerSwitch));
  ASSERT_EQ(pilotItems(), (Lines{"------", "DLH1", "AAL7"}));
  const Lines before = history();

  ASSERT_TRUE(host().userClose(FourCC("txMN")));
  deliverWhileClosed("#TMdef:ABC:while you were away\r\n" + pilot("UAL2") +
                     "\r\n" + pilot("DLH1", false) + "\r\n" +
                     "%SFO_GND:21800:4:50:3\r\n");
  openMainWindow();

  Lines expected = before;
  expected.push_back("[PRIVATE <DEF>] while you were away");
  expected.push_back("PONG Sent");
  // "PONG Sent" is posted once the pong is written, as the peer reads it.
  pump([&] { return history().size() >= expected.size(); });
  EXPECT_EQ(history(), expected);
  EXPECT_EQ(control("txMN", "hist")->scrollRow,
            static_cast<int>(expected.size()) - 1);
  // DLH1 left the range while the window was closed; UAL2 came.
  EXPECT_EQ(pilotItems(), (Lines{"------", "AAL7", "UAL2"}));
  EXPECT_TRUE(pilotIdsDistinct());
  EXPECT_EQ(control("txMN", "spMg")->selected, 0);
  EXPECT_EQ(atcItems(), (Lines{"UNICOM_CTR", "XYZ_TWR", "NCT_APP", "SFO_GND"}));
  EXPECT_EQ(shownStation(), "XYZ_TWR");
  EXPECT_EQ(control("txMN", "aFrq")->text, "118.150");

  // The tuned tower leaves while the window is closed: the plug-in falls
  // back to UNICOM as with it open, and the reopened window shows that.
  ASSERT_TRUE(host().userClose(FourCC("txMN")));
  deliverWhileClosed("#DAXYZ_TWR\r\n");
  openMainWindow();
  expected.insert(
      expected.end(),
      {"** Active ATC position expired !! ==> you will be switched to UNICOM",
       testing::kUnicomSwitch, "PONG Sent"});
  pump([&] { return history().size() >= expected.size(); });
  EXPECT_EQ(history(), expected);
  EXPECT_FLOAT_EQ(radio(), 122.8f);
  EXPECT_EQ(shownStation(), "UNICOM_CTR");
  EXPECT_EQ(control("txMN", "aFrq")->text, "122.800");

  // The items given again are the pilots' own: picking one addresses it,
  // and a pilot leaving takes its own item.
  const auto popup = control("txMN", "spMg");
  select("txMN", "spMg", popup->items.at(2).id);
  EXPECT_EQ(control("txMN", "text")->text, ".msg UAL2 ");
  deliver(pilot("AAL7", false));
  EXPECT_EQ(pilotItems(), (Lines{"------", "UAL2"}));
  deliver("#DANCT_APP");
  EXPECT_EQ(atcItems(), (Lines{"UNICOM_CTR", "SFO_GND"}));
  pickStation("SFO_GND");
  EXPECT_EQ(shownStation(), "SFO_GND");
  EXPECT_EQ(control("txMN", "aFrq")->text, "121.800");
  // An item that names no listed station tunes nothing: the popup goes
  // back to the tuned station.
  host().model().addPopupItem(static_cast<int>(FourCC("txMN")),
                              static_cast<int>(FourCC("sAtc")), 77, "GONE_TWR");
  select("txMN", "sAtc", 77);
  EXPECT_EQ(shownStation(), "SFO_GND");

  // Disconnect empties what is kept as well; the popups keep UNICOM, and
  // the tuned station, no longer listed, stays with the radio: an item of
  // its own shows it, and 'aFrq' reads its frequency.
  disconnect();
  ASSERT_TRUE(host().userClose(FourCC("txMN")));
  openMainWindow();
  EXPECT_EQ(history(), (Lines{"", "Disconnected."}));
  EXPECT_EQ(pilotItems(), (Lines{"------"}));
  EXPECT_EQ(atcItems(), (Lines{"UNICOM_CTR", "SFO_GND"}));
  EXPECT_EQ(shownStation(), "SFO_GND");
  EXPECT_EQ(control("txMN", "aFrq")->text, "121.800");
}

// The altitude offset typed in 'atcv' is taken on the 'valu' event of
// 'atco' only; later reports of other pilots are placed that much higher.
TEST_F(MainWindowSessionTest, AltitudeOffsetIsTakenOnlyWhenApplied) {
  start("127.0.0.219");
  const auto altitude = [this] {
    for (const auto& object : state().objects)
      if (object.names[0] == "PIL1") return object.position.alt;
    return -1.0;
  };
  deliver(pilot("PIL1"));
  ASSERT_DOUBLE_EQ(altitude(), 3500.0);
  host().model().setText(static_cast<int>(FourCC("txMN")),
                         static_cast<int>(FourCC("atcv")), "100");
  event("txMN", "atco", "actn");  // not the apply event
  deliver(pilot("PIL1"));
  EXPECT_DOUBLE_EQ(altitude(), 3500.0);
  event("txMN", "atco", "valu");
  deliver(pilot("PIL1"));
  EXPECT_DOUBLE_EQ(altitude(), 3600.0);
}

}  // namespace
}  // namespace talvix
