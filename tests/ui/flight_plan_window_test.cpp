// The flight plan window 'txFP' in the real plug-in: what it shows from the
// stored plan and the simulator, and the "$FP" line its OK button files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "core/host.h"
#include "net/packet.h"
#include "sim/host_table.h"
#include "tests/protocol/session_plugin_fixture.h"
#include "tests/support/failing_allocation.h"
#include "ui/flight_plan.h"

namespace talvix {
namespace {

using testing::LoopbackPeer;

class FlightPlanWindowTest : public testing::SessionPluginTest {
 protected:
  // The aircraft list is read from the simulator's working directory.
  void SetUp() override {
    SessionPluginTest::SetUp();
    previousDirectory_ = std::filesystem::current_path();
    std::filesystem::current_path(root_);
  }
  void TearDown() override {
    std::filesystem::current_path(previousDirectory_);
    SessionPluginTest::TearDown();
  }
  void openPlan() {
    pick("txMN", "atc_", "fpln");
    ASSERT_TRUE(isOpen("txFP"));
  }
  std::string shown(const char (&code)[5]) const {
    return control("txFP", code)->text;
  }
  int button(const char (&code)[5]) const {
    return control("txFP", code)->state;
  }
  void type(const char (&code)[5], const std::string& text) {
    host().model().setText(static_cast<int>(FourCC("txFP")),
                           static_cast<int>(FourCC(code)), text.c_str());
  }
  void setButton(const char (&code)[5], int state) {
    host().model().setButtonState(static_cast<int>(FourCC("txFP")),
                                  static_cast<int>(FourCC(code)), state);
  }
  void press(const char (&code)[5]) { event("txFP", code, "actn"); }
  void setClock(int hour, int minute) {
    host().model().modify([&](sim::HostState& s) {
      s.timeHour = hour;
      s.timeMinute = minute;
    });
  }

  std::filesystem::path previousDirectory_;
};

TEST_F(FlightPlanWindowTest, OkFilesTheWindowAndResendSendsItAgain) {
  LoopbackPeer peer("127.0.0.174");
  connect(peer, "127.0.0.174");
  setClock(9, 5);
  openPlan();
  EXPECT_EQ(shown("actT"), "0905");
  EXPECT_EQ(shown("estT"), "0915");
  EXPECT_EQ(shown("idnt"), "ABC");
  EXPECT_EQ(shown("frNm"), "Jo");
  EXPECT_EQ(shown("lsNm"), "Lee");
  EXPECT_EQ(shown("hmBs"), "KSFO");
  EXPECT_EQ(button("ifrB"), 1);

  // The aircraft button opens the chooser; the choice shows here.
  press("acBn");
  ASSERT_TRUE(isOpen("txAC"));
  host().model().listSelectRow(static_cast<int>(FourCC("txAC")),
                               static_cast<int>(FourCC("list")), 0);
  event("txAC", "slBn", "actn");
  EXPECT_EQ(shown("acID"), "C172");
  EXPECT_EQ(shown("type"), "Cessna 172 Skyhawk");

  type("depP", "eddf");
  type("dest", "lirf");
  type("crzA", "fl350");
  type("_tas", "450");
  type("enrH", "2");
  type("enrM", "05");
  type("fueH", " 3");
  type("fueM", "");
  type("altA", "lirg and far too long");
  type("rmrk", "tcas equipped");
  type("fplA", "dct bold");
  press("okBn");
  const std::string filed =
      "$FPABC:SERVER:I:C172:450:EDDF:915:905:fl350:LIRF:2:5:3:0:"
      "LIRG AND FAR TO:TCAS EQUIPPED:DCT BOLD";
  EXPECT_EQ(answer(peer), filed);
  EXPECT_TRUE(pump([&] { return history().back() == "Flight Plan Sent"; }));
  EXPECT_FALSE(isOpen("txFP"));

  pick("txMN", "atc_", "rpln");
  EXPECT_EQ(answer(peer), filed);
  EXPECT_TRUE(pump([&] { return historyCount("Flight Plan Sent") == 2; }));

  // Reopened, every field shows the plan as filed.
  openPlan();
  const struct {
    char code[5];
    const char* text;
  } fields[] = {{"_tas", "450"},
                {"depP", "EDDF"},
                {"crzA", "fl350"},
                {"dest", "LIRF"},
                {"enrM", "5"},
                {"fueH", "3"},
                {"altA", "LIRG AND FAR TO"},
                {"rmrk", "TCAS EQUIPPED"},
                {"fplA", "DCT BOLD"}};
  for (const auto& field : fields)
    EXPECT_EQ(shown(field.code), field.text) << field.code;
}

// Every typed field of the "$FP" line: a ":" or a control character in it
// would shift the fields after it. The plan is refused with a line naming
// the field, neither stored nor sent, and the window stays open with what
// was typed; once the field is mended, OK files it.
TEST_F(FlightPlanWindowTest, FieldsThatWouldShiftThePlanAreRefused) {
  LoopbackPeer peer("127.0.0.216");
  connect(peer, "127.0.0.216");
  setClock(9, 5);
  openPlan();
  type("depP", "ksfo");
  type("dest", "klax");
  press("okBn");
  const std::string filed = "$FPABC:SERVER:I::0:KSFO:915:905::KLAX:0:0:0:0:::";
  ASSERT_EQ(answer(peer), filed);

  auto refused = [](const std::string& name) {
    return "Flight plan not sent: " + name +
           " may not contain \":\" or control characters.";
  };
  const std::string padded = std::string(70, ' ') + "450";
  auto notNumber = [](const std::string& name) {
    return "Flight plan not sent: " + name + " must be a number.";
  };
  const struct {
    char field[5];
    const char* typed;
    std::string refusal;
  } rows[] = {
      {"_tas", "fast", notNumber("True airspeed")},
      {"_tas", "-450", notNumber("True airspeed")},
      {"_tas", "1234567890", notNumber("True airspeed")},
      {"_tas", padded.c_str(), notNumber("True airspeed")},
      {"estT", "09:15", notNumber("Departure time")},
      {"actT", "0905z", notNumber("Actual time")},
      {"enrH", "2 3", notNumber("En route hours")},
      {"enrM", "05x", notNumber("En route minutes")},
      {"fueH", "three", notNumber("Fuel hours")},
      {"fueM", "abc", notNumber("Fuel minutes")},
      {"depP", "KS:FO", refused("Departure")},
      {"depP", "ks\tfo", refused("Departure")},
      {"crzA", "fl:350", refused("Cruise altitude")},
      {"crzA", "fl350\r\n", refused("Cruise altitude")},
      {"dest", "KL:AX", refused("Destination")},
      {"altA", "KS\x1fJC", refused("Alternate")},
      {"rmrk", "RMK: colon:here", refused("Remarks")},
      {"rmrk", "tcas\x7f", refused("Remarks")},
      {"fplA", "SSTIK4 LOSHN:BSR", refused("Route")},
      {"fplA", "DCT\nSJC", refused("Route")},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.field) + " " + row.typed);
    openPlan();
    type("depP", "kjfk");
    type(row.field, row.typed);
    press("okBn");
    EXPECT_EQ(history().back(), row.refusal);
    EXPECT_EQ(state().alerts.back(), row.refusal);
    EXPECT_EQ(state().windows.at(FourCC("txFP")).focus, FourCC(row.field));
    EXPECT_TRUE(isOpen("txFP"));
    EXPECT_EQ(shown(row.field), row.typed);
    press("cnBn");
    // Nothing was stored: the plan sent again is the one filed before.
    pick("txMN", "atc_", "rpln");
    EXPECT_EQ(answer(peer), filed);
  }

  // Mended, the same window files at once; colons elsewhere never mattered.
  openPlan();
  type("rmrk", "RMK: colon:here");
  press("okBn");
  EXPECT_EQ(history().back(), refused("Remarks"));
  type("rmrk", "rmk colon here");
  type("depP", "ks fo");
  press("okBn");
  EXPECT_EQ(answer(peer),
            "$FPABC:SERVER:I::0:KS FO:915:905::KLAX:0:0:0:0::RMK COLON HERE:");
  EXPECT_TRUE(pump([&] { return history().back() == "Flight Plan Sent"; }));
  EXPECT_FALSE(isOpen("txFP"));
  EXPECT_EQ(state().alerts.size(), std::size(rows) + 1);

  // Filed with airspeed "0" (not "fast"): reopened as filed, and filed
  // again the same.
  openPlan();
  type("crzA", "FL350");
  type("_tas", "fast");
  press("okBn");
  EXPECT_EQ(state().alerts.back(), notNumber("True airspeed"));
  type("_tas", " 0 ");
  press("okBn");
  const std::string cruise =
      "$FPABC:SERVER:I::0:KS FO:915:905:FL350:KLAX:0:0:0:0::RMK COLON HERE:";
  EXPECT_EQ(answer(peer), cruise);
  openPlan();
  EXPECT_EQ(shown("crzA"), "FL350");
  EXPECT_EQ(shown("_tas"), "0");
  press("okBn");
  EXPECT_EQ(answer(peer), cruise);
  EXPECT_FALSE(answer(peer, 300).has_value());
}

TEST_F(FlightPlanWindowTest, TimesComeFromTheClockAtEveryOpening) {
  struct Clock {
    int hour, minute;
    const char* actual;
    const char* estimated;
  };
  for (const Clock& clock :
       {Clock{9, 5, "0905", "0915"}, Clock{23, 55, "2355", "0005"},
        Clock{12, 50, "1250", "1300"}, Clock{0, 0, "0000", "0010"},
        Clock{10, 49, "1049", "1059"}, Clock{10, 50, "1050", "1100"},
        Clock{23, 45, "2345", "2355"}, Clock{22, 55, "2255", "2305"}}) {
    SCOPED_TRACE(clock.actual);
    setClock(clock.hour, clock.minute);
    openPlan();
    EXPECT_EQ(shown("actT"), clock.actual);
    EXPECT_EQ(shown("estT"), clock.estimated);
    press("cnBn");
    EXPECT_FALSE(isOpen("txFP"));
  }
}

TEST_F(FlightPlanWindowTest, EmptyPartsComeFromTheSimulatorsPlanner) {
  LoopbackPeer peer("127.0.0.175");
  connect(peer, "127.0.0.175");
  setClock(12, 0);
  host().model().modify([](sim::HostState& s) {
    s.departure = "EDDF";
    s.destination = "LIRF";
    s.plan = {{2, "EDDF", 0, 0},
              {2, "TOP", 844.0f, 35000.7f},
              {7, "HOLD", 0, 0},
              {3, "LIRF", 0, 0}};
  });
  openPlan();
  EXPECT_EQ(shown("depP"), "EDDF");
  EXPECT_EQ(shown("dest"), "LIRF");
  EXPECT_EQ(shown("crzA"), "35000");
  EXPECT_EQ(shown("_tas"), "500");  // 844 ft/s in knots, truncated
  EXPECT_EQ(shown("fplA"), "EDDF TOP LIRF ");
  EXPECT_EQ(host().model().outstandingFlightPlans(), 0);
  press("okBn");
  EXPECT_EQ(answer(peer),
            "$FPABC:SERVER:I::500:EDDF:1210:1200:35000:LIRF:0:0:0:0:::"
            "EDDF TOP LIRF ");

  // A stored cruise altitude without an airspeed: only the airspeed is
  // offered again.
  openPlan();
  type("crzA", "fl200");
  type("_tas", "0");
  press("okBn");
  EXPECT_EQ(answer(peer),
            "$FPABC:SERVER:I::0:EDDF:1210:1200:fl200:LIRF:0:0:0:0:::"
            "EDDF TOP LIRF ");
  openPlan();
  EXPECT_EQ(shown("crzA"), "fl200");
  EXPECT_EQ(shown("_tas"), "500");
  EXPECT_EQ(host().model().outstandingFlightPlans(), 0);
}

// Only a record whose first word is 1 holds an airport, whatever it names.
TEST_F(FlightPlanWindowTest, OnlyAnAirportRecordFlaggedOneGivesItsName) {
  host().model().modify([](sim::HostState& s) {
    s.departure = "EDDF";
    s.destination = "LIRF";
  });
  for (const int flag : {0, 2, -1}) {
    host().model().modify(
        [&](sim::HostState& s) { s.airportRecordFlag = flag; });
    openPlan();
    EXPECT_EQ(shown("depP"), "") << flag;
    EXPECT_EQ(shown("dest"), "") << flag;
    press("cnBn");
  }
  host().model().modify([](sim::HostState& s) { s.airportRecordFlag = 1; });
  openPlan();
  EXPECT_EQ(shown("depP"), "EDDF");
  EXPECT_EQ(shown("dest"), "LIRF");
}

TEST_F(FlightPlanWindowTest, RulesCancelAndSendingWhileDisconnected) {
  openPlan();
  // Before any Connect the record holds the default callsign.
  EXPECT_EQ(shown("idnt"), "NEWBIE");
  setButton("ifrB", 0);  // none on: the letter stays 'I'
  press("okBn");
  EXPECT_EQ(history().back(), "You must be connected first");
  EXPECT_FALSE(isOpen("txFP"));
  openPlan();
  EXPECT_EQ(button("ifrB"), 1);
  EXPECT_EQ(button("vfrB"), 0);

  setButton("ifrB", 0);
  setButton("vfrB", 1);
  press("okBn");
  openPlan();
  EXPECT_EQ(button("vfrB"), 1);
  EXPECT_EQ(button("ifrB"), 0);
  setButton("vfrB", 0);
  press("okBn");
  openPlan();
  EXPECT_EQ(button("vfrB"), 1);
  // Two on at once: VFR comes before IFR, IFR before special VFR.
  const struct {
    int vfr, ifr, special;
    const char* shown;
  } rules[] = {{1, 1, 0, "vfrB"},
               {0, 1, 1, "ifrB"},
               {0, 0, 1, "svfB"},
               {1, 0, 1, "vfrB"}};
  for (const auto& r : rules) {
    SCOPED_TRACE(r.shown);
    setButton("vfrB", r.vfr);
    setButton("ifrB", r.ifr);
    setButton("svfB", r.special);
    press("okBn");
    openPlan();
    const char buttons[][5] = {"vfrB", "ifrB", "svfB"};
    for (const auto& code : buttons)
      EXPECT_EQ(button(code), std::string(code) == r.shown ? 1 : 0) << code;
  }
  // The fuel's hours and minutes come back each in its own field.
  type("fueH", "4");
  type("fueM", "30");
  type("enrH", "1");
  type("enrM", "15");
  press("okBn");
  openPlan();
  EXPECT_EQ(shown("fueH"), "4");
  EXPECT_EQ(shown("fueM"), "30");
  EXPECT_EQ(shown("enrH"), "1");
  EXPECT_EQ(shown("enrM"), "15");

  // Cancel stores nothing.
  type("depP", "kjfk");
  press("cnBn");
  EXPECT_FALSE(isOpen("txFP"));
  openPlan();
  EXPECT_EQ(shown("depP"), "");

  // Nothing filed yet (no departure, no destination): nothing to resend.
  pick("txMN", "atc_", "rpln");
  EXPECT_EQ(historyCount("You must be connected first"), 8);
  EXPECT_EQ(history().back(), "No flight plan to send: file one first.");
}

TEST_F(FlightPlanWindowTest, ResendWithoutAPlanSendsNothing) {
  LoopbackPeer peer("127.0.0.197");
  connect(peer, "127.0.0.197");
  pick("txMN", "atc_", "rpln");
  EXPECT_EQ(history().back(), "No flight plan to send: file one first.");
  EXPECT_FALSE(historyHas("Flight Plan Sent"));
  EXPECT_FALSE(answer(peer, 400).has_value());
  // With only a destination there is a plan to send.
  openPlan();
  type("dest", "lirf");
  press("okBn");
  ASSERT_TRUE(answer(peer).has_value());
  pick("txMN", "atc_", "rpln");
  const auto again = answer(peer);
  ASSERT_TRUE(again.has_value());
  EXPECT_NE(again->find(":LIRF:"), std::string::npos) << *again;
  EXPECT_TRUE(pump([&] { return historyCount("Flight Plan Sent") == 2; }));
}

// Opening the window shows what the simulator offers but stores nothing:
// Resend after only looking has nothing to send. A plan filed with OK is
// resent as filed, also after a refusal and after it was looked at again.
TEST_F(FlightPlanWindowTest, LookingAtThePlanFilesNothing) {
  LoopbackPeer peer("127.0.0.80");
  connect(peer, "127.0.0.80");
  setClock(12, 0);
  host().model().modify([](sim::HostState& s) {
    s.departure = "KSFO";
    s.destination = "KLAX";
  });
  openPlan();
  EXPECT_EQ(shown("depP"), "KSFO");
  EXPECT_EQ(shown("dest"), "KLAX");
  press("cnBn");
  pick("txMN", "atc_", "rpln");
  EXPECT_EQ(history().back(), "No flight plan to send: file one first.");
  EXPECT_FALSE(answer(peer, 400).has_value());
  EXPECT_FALSE(historyHas("Flight Plan Sent"));

  // Filed while disconnected: refused, but stored; Resend sends it later.
  disconnect();
  openPlan();
  type("rmrk", "first");
  press("okBn");
  EXPECT_EQ(history().back(), "You must be connected first");
  reconnect("127.0.0.80");
  ASSERT_TRUE(peer.accept());
  ASSERT_TRUE(peer.readLine().has_value());
  const std::string filed =
      "$FPABC:SERVER:I::0:KSFO:1210:1200::KLAX:0:0:0:0::FIRST:";
  pick("txMN", "atc_", "rpln");
  EXPECT_EQ(answer(peer), filed);
  EXPECT_TRUE(pump([&] { return history().back() == "Flight Plan Sent"; }));

  // Looked at later, at another time, with another planner, and cancelled:
  // the filed plan stays as it was.
  setClock(15, 30);
  host().model().modify([](sim::HostState& s) {
    s.plan = {{2, "EDDF", 0, 0}, {2, "TOP", 844.0f, 35000.0f}};
  });
  openPlan();
  EXPECT_EQ(shown("actT"), "1530");
  EXPECT_EQ(shown("crzA"), "35000");
  EXPECT_EQ(shown("fplA"), "EDDF TOP ");
  type("depP", "eddf");
  press("cnBn");
  pick("txMN", "atc_", "rpln");
  EXPECT_EQ(answer(peer), filed);
  EXPECT_TRUE(pump([&] { return historyCount("Flight Plan Sent") == 2; }));
}

// The planner's list is read for 1000 nodes at most (a corrupt link would
// never end it); a stored one-character cruise altitude is kept.
TEST_F(FlightPlanWindowTest, ThePlannerIsReadForAThousandNodesAtMost) {
  host().model().modify([](sim::HostState& s) {
    s.plan.assign(999, {7, "HOLD", 0, 0});
    s.plan.push_back({2, "LAST", 0, 0});
    s.plan.push_back({2, "GONE", 0, 0});
  });
  openPlan();
  EXPECT_EQ(shown("fplA"), "LAST ");
  type("crzA", "9");
  type("_tas", "120");
  press("okBn");  // stored, though not sent
  openPlan();
  EXPECT_EQ(shown("crzA"), "9");
  EXPECT_EQ(shown("_tas"), "120");
}

// No memory for the "$FP" line: the user is told. The plug-in's copy in
// this test process files through the same host.
TEST_F(FlightPlanWindowTest, NoMemoryForThePlanIsTold) {
  const HostServicesTable table = sim::BuildHostTable();
  host::Install(&table, sim::kReferenceNumber);
  {
    testing::FailingNothrowAllocation failing(0);
    SendFlightPlan();
    EXPECT_TRUE(failing.failed());
  }
  EXPECT_EQ(state().alerts, std::vector<std::string>{kFatalMemoryErrorText});
}

}  // namespace
}  // namespace talvix
