// The main window: opening and raising, what it shows when created, and its
// controls and menus, driven through the real plug-in in the stand-in host.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/host_services.h"
#include "sim/host_model.h"
#include "tests/support/plugin_fixture.h"

namespace talvix {
namespace {

using testing::PluginTest;

class MainWindowTest : public PluginTest {
 protected:
  int rangeItem(const char (&code)[5]) {
    return static_cast<int>(FourCC(code));
  }
  void windowCallback(int signature, const char (&window)[5],
                      const char (&control)[5], const char (&kind)[5],
                      int extra) {
    auto fn =
        reinterpret_cast<WindowEventCallback>(host().callback(kCallbackWindow));
    ASSERT_NE(fn, nullptr);
    fn(signature, static_cast<int>(FourCC(window)),
       static_cast<int>(FourCC(control)), static_cast<int>(FourCC(kind)),
       extra);
  }
};

TEST_F(MainWindowTest, CreationFillsTheWindowFromTheSettings) {
  host().model().setSetting("Talvix", "MPDistance", "40");
  host().model().setSetting("Talvix", "AutoWeather", "0");
  openMainWindow();
  EXPECT_EQ(notices("Creating Talvix Window..."), 1);
  EXPECT_EQ(state().windows.at(FourCC("txMN")).signature,
            sim::kPluginSignature);
  EXPECT_EQ(control("txMN", "modT")->text, "Off");
  EXPECT_EQ(control("txMN", "idnt")->state, 0);
  EXPECT_EQ(control("txMN", "spMg")->selected, 0);
  EXPECT_EQ(history(), std::vector<std::string>{""});
}

// The range popup shows the range in force from the moment it is created.
TEST_F(MainWindowTest, RangePopupShowsTheStoredRange) {
  const struct {
    const char* setting;
    char item[5];
  } cases[] = {
      {"40", "mp40"},  {"5", "mp5_"}, {"10", "mp10"}, {"20", "mp20"},
      {"100", "mp00"}, {"0", "mpno"}, {"33", "mpno"}};  // not offered: the
                                                        // window file's first
  for (const auto& c : cases) {
    SCOPED_TRACE(c.setting);
    host().model().setSetting("Talvix", "MPDistance", c.setting);
    openMainWindow();
    const auto popup = control("txMN", "mp__");
    ASSERT_TRUE(popup.has_value());
    ASSERT_TRUE(popup->selected.has_value());
    EXPECT_EQ(*popup->selected, static_cast<int>(FourCC(c.item)));
    host().userClose(FourCC("txMN"));
  }
}

TEST_F(MainWindowTest, AutoWeatherBoxShowsOnWhenTheSettingIsMissing) {
  openMainWindow();
  EXPECT_EQ(control("txMN", "idnt")->state, 1);
}

TEST_F(MainWindowTest, ReopeningOnlyRaisesAndKeepsTheHistory) {
  openMainWindow();
  pick("txMN", "mp__", "mp40");
  ASSERT_TRUE(host().menuSelect(FourCC("plug"), FourCC("txMN")));
  EXPECT_EQ(notices("Creating Talvix Window..."), 1);
  EXPECT_EQ(state().windows.at(FourCC("txMN")).raises, 1);
  EXPECT_EQ(history(),
            (std::vector<std::string>{"", "Changed MP distance to: 40"}));
}

// A closed window is created again, and shows the history it held. With no
// session there is no pilot, station or tuned frequency to show.
TEST_F(MainWindowTest, ClosedWindowIsCreatedAgainWithItsHistory) {
  openMainWindow();
  pick("txMN", "mp__", "mp40");
  ASSERT_TRUE(host().userClose(FourCC("txMN")));
  openMainWindow();
  EXPECT_EQ(notices("Creating Talvix Window..."), 2);
  EXPECT_EQ(history(),
            (std::vector<std::string>{"", "Changed MP distance to: 40"}));
  EXPECT_EQ(control("txMN", "spMg")->items.size(), 1u);  // "------"
  EXPECT_TRUE(control("txMN", "sAtc")->items.empty());
  EXPECT_EQ(control("txMN", "aFrq")->text, "");

  // Closed behind the plug-in's back (no 'clos' event): the host's answer
  // decides, so the window is created again rather than raised.
  host().model().closeWindow(static_cast<int>(FourCC("txMN")));
  openMainWindow();
  EXPECT_EQ(notices("Creating Talvix Window..."), 3);
}

TEST_F(MainWindowTest, RangeChoicesStoreTheirDistanceAndSayIt) {
  openMainWindow();
  pick("txMN", "mp__", "mp00");
  EXPECT_EQ(setting("MPDistance"), "100");
  EXPECT_EQ(control("txMN", "mp__")->selected, rangeItem("mp00"));
  pick("txMN", "mp__", "mpno");
  EXPECT_EQ(setting("MPDistance"), "0");
  pick("txMN", "mp__", "mp5_");
  EXPECT_EQ(setting("MPDistance"), "5");
  event("txMN", "mp__", "slct", 12345);  // an id the popup does not know
  EXPECT_EQ(setting("MPDistance"), "0");
  EXPECT_EQ(history(),
            (std::vector<std::string>{
                "", "Changed MP distance to: 100", "Changed MP distance to: 0",
                "Changed MP distance to: 5", "Changed MP distance to: 0"}));
  // Read back when the window is next created.
  pick("txMN", "mp__", "mp20");
  ASSERT_TRUE(host().userClose(FourCC("txMN")));
  openMainWindow();
  EXPECT_EQ(setting("MPDistance"), "20");
}

TEST_F(MainWindowTest, AutoWeatherIsWrittenOnlyWhenTheBoxChanges) {
  openMainWindow();
  // A value planted behind the plug-in shows whether it wrote.
  host().model().setSetting("Talvix", "AutoWeather", "7");
  event("txMN", "idnt", "chek");  // still on: no change
  EXPECT_EQ(setting("AutoWeather"), "7");

  host().model().setButtonState(static_cast<int>(FourCC("txMN")),
                                static_cast<int>(FourCC("idnt")), 0);
  event("txMN", "idnt", "uchk");
  EXPECT_EQ(setting("AutoWeather"), "0");
  host().model().setSetting("Talvix", "AutoWeather", "7");
  event("txMN", "idnt", "uchk");  // repeated: nothing written
  EXPECT_EQ(setting("AutoWeather"), "7");

  host().model().setButtonState(static_cast<int>(FourCC("txMN")),
                                static_cast<int>(FourCC("idnt")), 1);
  event("txMN", "idnt", "chek");
  EXPECT_EQ(setting("AutoWeather"), "1");
}

TEST_F(MainWindowTest, PilotPopupPreparesAPrivateMessage) {
  openMainWindow();
  host().model().addPopupItem(static_cast<int>(FourCC("txMN")),
                              static_cast<int>(FourCC("spMg")), 3, "DLH123");
  host().model().setText(static_cast<int>(FourCC("txMN")),
                         static_cast<int>(FourCC("text")), "half typed");
  select("txMN", "spMg", 3);
  EXPECT_EQ(control("txMN", "text")->text, ".msg DLH123 ");
  EXPECT_EQ(state().windows.at(FourCC("txMN")).focus, FourCC("text"));

  const int redrawsBefore = control("txMN", "text")->redraws;
  select("txMN", "spMg", 0);  // "------"
  EXPECT_EQ(control("txMN", "text")->text, "");
  EXPECT_GT(control("txMN", "text")->redraws, redrawsBefore);
}

TEST_F(MainWindowTest, EnteredCommandResetsThePilotPopup) {
  openMainWindow();
  host().model().addPopupItem(static_cast<int>(FourCC("txMN")),
                              static_cast<int>(FourCC("spMg")), 3, "DLH123");
  select("txMN", "spMg", 3);
  event("txMN", "text", "tent");
  EXPECT_EQ(control("txMN", "spMg")->selected, 0);
}

TEST_F(MainWindowTest, MovesAndFocusChangesAreIgnoredWhateverTheControl) {
  openMainWindow();
  event("txMN", "MINI", "move");
  event("txMN", "clos", "foci");
  event("txMN", "mp__", "!foc", static_cast<int>(FourCC("mp00")));
  EXPECT_FALSE(state().windows.at(FourCC("txMN")).minimised);
  EXPECT_FALSE(setting("MPDistance"));
  ASSERT_TRUE(host().menuSelect(FourCC("plug"), FourCC("txMN")));
  EXPECT_EQ(notices("Creating Talvix Window..."), 1);  // still open: raised

  event("txMN", "MINI", "actn");
  EXPECT_TRUE(state().windows.at(FourCC("txMN")).minimised);
}

TEST_F(MainWindowTest, CloseEventForgetsTheWindow) {
  openMainWindow();
  event("txMN", "actn", "actn");  // the window's own 'actn' clears the flag
  ASSERT_TRUE(host().menuSelect(FourCC("plug"), FourCC("txMN")));
  EXPECT_EQ(notices("Creating Talvix Window..."), 2);
}

TEST_F(MainWindowTest, ResizeBringsTheLastRowIntoView) {
  openMainWindow();
  // The empty head row alone is the last row too.
  host().model().scrollToRow(static_cast<int>(FourCC("txMN")),
                             static_cast<int>(FourCC("hist")), -1);
  event("txMN", "size", "actn");
  EXPECT_EQ(control("txMN", "hist")->scrollRow, 0);
  pick("txMN", "mp__", "mp10");
  pick("txMN", "mp__", "mp20");
  host().model().scrollToRow(static_cast<int>(FourCC("txMN")),
                             static_cast<int>(FourCC("hist")), 0);
  event("txMN", "size", "actn");
  EXPECT_EQ(control("txMN", "hist")->scrollRow, 2);
}

TEST_F(MainWindowTest, EventsWithAnotherSignatureAreIgnored) {
  openMainWindow();
  pick("txMN", "mp__", "mp10");
  windowCallback(sim::kPluginSignature + 1, "txMN", "cnmn", "slct",
                 static_cast<int>(FourCC("disc")));
  windowCallback(0, "txMN", "mp__", "slct", static_cast<int>(FourCC("mp00")));
  EXPECT_EQ(history(),
            (std::vector<std::string>{"", "Changed MP distance to: 10"}));
  EXPECT_EQ(setting("MPDistance"), "10");
  // The simulator menu with another signature does not open anything.
  host().model().closeWindow(static_cast<int>(FourCC("txMN")));
  windowCallback(sim::kPluginSignature + 1, "MBar", "plug", "slct",
                 static_cast<int>(FourCC("txMN")));
  EXPECT_FALSE(isOpen("txMN"));
  // The same events with the plug-in's signature do act.
  windowCallback(sim::kPluginSignature, "MBar", "plug", "slct",
                 static_cast<int>(FourCC("txMN")));
  EXPECT_TRUE(isOpen("txMN"));
  windowCallback(sim::kPluginSignature, "txMN", "cnmn", "slct",
                 static_cast<int>(FourCC("disc")));
  EXPECT_EQ(history(), (std::vector<std::string>{"", "Disconnected."}));
}

TEST_F(MainWindowTest, AtcAndFlightPlanWindowsOpenOnce) {
  openMainWindow();
  pick("txMN", "atc_", "atcd");
  pick("txMN", "atc_", "fpln");
  EXPECT_TRUE(isOpen("txTC"));
  EXPECT_TRUE(isOpen("txFP"));
  // Typed into, then asked again: the open windows are left as they are.
  host().model().setText(static_cast<int>(FourCC("txFP")),
                         static_cast<int>(FourCC("rmrk")), "KEEP");
  pick("txMN", "atc_", "fpln");
  pick("txMN", "atc_", "atcd");
  EXPECT_EQ(control("txFP", "rmrk")->text, "KEEP");
}

TEST_F(MainWindowTest, AboutShowsTheSplashAndItsActionClosesIt) {
  openMainWindow();
  pick("txMN", "hlmn", "abut");
  ASSERT_TRUE(isOpen("txPC"));
  EXPECT_EQ(control("txPC", "sPic")->picture, "splash.pbm");
  event("txPC", "okBn", "slct");  // not an 'actn'
  EXPECT_TRUE(isOpen("txPC"));
  event("txPC", "okBn", "actn");
  EXPECT_FALSE(isOpen("txPC"));
}

TEST_F(MainWindowTest, HelpItemAlternatesBetweenTheTwoToggles) {
  openMainWindow();
  pick("txMN", "hlmn", "txhm");
  EXPECT_EQ(state().helpToggleA, 1);
  EXPECT_EQ(state().helpToggleB, 0);
  pick("txMN", "hlmn", "txhm");
  EXPECT_EQ(state().helpToggleB, 1);
  pick("txMN", "hlmn", "txhm");
  EXPECT_EQ(state().helpToggleA, 2);
  EXPECT_EQ(state().helpToggleB, 1);
}

TEST_F(MainWindowTest, ExitClosesEveryWindowAndEmptiesTheHistory) {
  openMainWindow();
  pick("txMN", "cnmn", "conn");
  pick("txMN", "atc_", "atcd");
  pick("txMN", "atc_", "fpln");
  pick("txMN", "hlmn", "abut");
  ASSERT_EQ(state().windows.size(), 6u);
  pick("txMN", "cnmn", "exit");
  EXPECT_TRUE(state().windows.empty());
  // The next opening creates the window again.
  openMainWindow();
  EXPECT_EQ(notices("Creating Talvix Window..."), 2);
  EXPECT_EQ(history(), std::vector<std::string>{""});
}

}  // namespace
}  // namespace talvix
