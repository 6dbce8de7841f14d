// The ATC station list, its popup items and window, and tuning, through the
// real plug-in and a loopback peer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "atc/stations.h"
#include "core/number_format.h"
#include "tests/atc/atc_session_fixture.h"

namespace talvix {
namespace {

using testing::AtcSessionTest;
using testing::kTowerLine;
using testing::kTowerSwitch;
using testing::kUnicomSwitch;
using Lines = std::vector<std::string>;
constexpr char kExpired[] =
    "** Active ATC position expired !! ==> you will be switched to UNICOM";

class AtcStationsTest : public AtcSessionTest {
 protected:
  // Column 0 and 1 of every row of the ATC window's table.
  Lines atcRows() const {
    Lines rows;
    if (auto table = control("txTC", "atcL")) {
      for (const auto& row : table->rows)
        rows.push_back(row.at(0) + " " + row.at(1));
    }
    return rows;
  }
  // The user ticks or unticks the box: the host shows it, then reports it.
  void showEveryStation(bool on) {
    host().model().setButtonState(static_cast<int>(FourCC("txTC")),
                                  static_cast<int>(FourCC("full")), on);
    event("txTC", "full", on ? "chek" : "uchk");
  }
  void openAtcWindow() {
    pick("txMN", "atc_", "atcd");
    ASSERT_TRUE(isOpen("txTC"));
  }
};

TEST_F(AtcStationsTest, FirstLineListsUnicomAndDiallingTunesTheTower) {
  start("127.0.0.90");
  deliver(kTowerLine);
  EXPECT_EQ(atcItems(), (Lines{"UNICOM_CTR", "XYZ_TWR"}));
  EXPECT_EQ(postedSince(0), (Lines{"", kUnicomSwitch}));
  EXPECT_FLOAT_EQ(radio(), 122.8f);
  EXPECT_EQ(control("txMN", "aFrq")->text, "122.800");
  EXPECT_EQ(shownStation(), "UNICOM_CTR");
  EXPECT_EQ(sentStartingWith("$CQ"), Lines{});  // UNICOM asks nothing

  // The user dials the tower: tuned without writing the radio (a write
  // would round 118.151 to 118.15).
  dial(118.151f);
  ASSERT_TRUE(pump([&] { return historyHas(kTowerSwitch); }));
  EXPECT_EQ(sentStartingWith("$CQ"), Lines{"$CQABC:XYZ_TWR:ATIS"});
  EXPECT_FLOAT_EQ(radio(), 118.151f);
  EXPECT_EQ(shownStation(), "XYZ_TWR");
  EXPECT_EQ(control("txMN", "aFrq")->text, "118.150");

  // Frequency, private and guard messages with the tower tuned.
  const std::size_t before = history().size();
  deliver("#TMxyz:@18150:hello");
  deliver("#TMDEF:ABC:hi");
  EXPECT_EQ(lastSound(), "MYATTN.WAV");
  deliver("#TMDEF:@2150:mayday");
  EXPECT_EQ(postedSince(before),
            (Lines{"XYZ: hello", "[PRIVATE <DEF>] hi", "[ON GUARD] mayday"}));
}

TEST(FacilitySuffix, ElevenSuffixesAfterBlanksGoAndCaseIsRaised) {
  const struct {
    const char* callsign;
    bool position;
  } cases[] = {
      {"EDDF_APP", true},   {"EDDF_DEP", true},  {"EDDF_TWR", true},
      {"EDDF_GND", true},   {"EDDF_FSS", true},  {"EDDF_CTR", true},
      {"KZAK_OCE", true},   {"EDDF_CLC", true},  {"KSFO_CON", true},
      {"EDGG_FIR", true},   {"LFFF_CTA", true},  {"eddf_app", true},
      {"EDDF_T WR", true},  {"EDDF_TWR ", true}, {"_T W R", true},
      {"EDDF_ATIS", false}, {"EDDF_TWX", false}, {"EDDF TWR", false},
      {"_TW", false},       {"", false},         {"EDDF_TWR_X", false},
      {"EDDF_RAMP", false}, {"EDDF_DEL", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsControllerPosition(c.callsign), c.position) << c.callsign;
  EXPECT_FALSE(IsControllerPosition(nullptr));
}

// The list of this binary's own copy of the code: no host is loaded, so
// only stations without a popup item (no facility suffix) are added.
AtcStation* NewListed(const std::string& callsign, float frequency) {
  auto* station = new AtcStation{};
  callsign.copy(station->callsign, sizeof station->callsign - 1);
  station->frequency = frequency;
  return station;
}

TEST(AtcStationList, FirstOnAFrequencyIsFoundAndAllSlotsFillBeforeRefusing) {
  AddStation(NewListed("UNICOM_CTR_X", 122.8f));
  AddStation(NewListed("FIRST", 118.1f));
  AddStation(NewListed("SECOND", 118.1f));
  ASSERT_NE(FindStationByFrequency(118.1f), nullptr);
  EXPECT_STREQ(FindStationByFrequency(118.1f)->callsign, "FIRST");
  EXPECT_EQ(FindStationByFrequency(118.2f), nullptr);
  for (int i = StationCount(); i < kAtcSlots; ++i)
    AddStation(NewListed("S" + std::to_string(i), 130.0f));
  EXPECT_EQ(StationCount(), kAtcSlots);
  ASSERT_NE(FindStation("S9999"), nullptr);
  AddStation(NewListed("ONE_TOO_MANY", 130.0f));  // deleted, not added
  EXPECT_EQ(StationCount(), kAtcSlots);
  EXPECT_EQ(FindStation("ONE_TOO_MANY"), nullptr);
  ClearStations();
  EXPECT_EQ(StationCount(), 1);
}

TEST_F(AtcStationsTest, SuffixesAndBuffersDecideItemsAndTableRows) {
  start("127.0.0.91");
  const std::string longName(100, 'L');
  for (const char* line :
       {kTowerLine, "%abc_app:19000:x:1:2", "%XYZ_ATIS:27350:x:1:2",
        "%ABC:21000:x:1:2", "%K_GND:21700:x:1:2", "%K_FSS:22000:x:1:2",
        "%K_CLC:21800:x:1:2", "%K_CON:23500:x:1:2", "%NEW_TWR:20000:x:1",
        "%XYZ_TWR:19990:x:1:2"}) {
    deliver(line);
  }
  deliver("%" + longName + "_CTR:234567890123456:x:1:2");
  deliver("%" + longName + "_CTR:24000:x:1:2");  // the cut name refreshes
  EXPECT_TRUE(
      historyHas("handlePERCENT - Talvix: Exception caught. Notify author."));
  const std::string cut = longName.substr(0, 63);
  EXPECT_EQ(atcItems(), (Lines{"UNICOM_CTR", "XYZ_TWR", "abc_app", "K_GND",
                               "K_FSS", "K_CLC", "K_CON"}));

  openAtcWindow();
  const Lines controllers{"UNICOM_CTR 122.8000", "XYZ_TWR 118.1500",
                          "abc_app 119.0000",    "K_GND 121.7000",
                          "K_FSS 122.0000",      "K_CLC 121.8000",
                          "K_CON 123.5000"};
  // The default number format is the tracking's "%.3f" once connected.
  Lines expected;
  for (const auto& row : controllers)
    expected.push_back(row.substr(0, row.size() - 1));
  EXPECT_EQ(atcRows(), expected);
  // Each refresh sets the two columns again, named, 100 wide, and only those
  // two.
  const auto titles = [&] {
    Lines names;
    if (const auto table = control("txTC", "atcL")) {
      for (const auto& column : table->columns)
        names.push_back(column.title + " " + std::to_string(column.width));
    }
    return names;
  };
  EXPECT_EQ(titles(), (Lines{"ATC Position 100", "ATC Frequency 100"}));
  showEveryStation(true);
  EXPECT_EQ(titles(), (Lines{"ATC Position 100", "ATC Frequency 100"}));
  EXPECT_EQ(atcRows().size(), expected.size() + 3);
  EXPECT_EQ(atcRows().at(3), "XYZ_ATIS 127.350");
  EXPECT_EQ(atcRows().at(4), "ABC 121.000");
  EXPECT_EQ(atcRows().back(), cut + " 123.457");  // three decimals shown
  showEveryStation(false);
  EXPECT_EQ(atcRows(), expected);
  // A station heard while the window is open joins its table at once.
  deliver("%K_DEP:25000:x:1:2");
  expected.push_back("K_DEP 125.000");
  EXPECT_EQ(atcRows(), expected);

  // The tuned station's row is highlighted. Select without a row does
  // nothing; with one it tunes and closes.
  EXPECT_EQ(control("txTC", "atcL")->selectedRow, 0);
  host().model().listSelectRow(static_cast<int>(FourCC("txTC")),
                               static_cast<int>(FourCC("atcL")), -1);
  event("txTC", "slBn", "actn");
  EXPECT_TRUE(isOpen("txTC"));
  host().model().listSelectRow(static_cast<int>(FourCC("txTC")),
                               static_cast<int>(FourCC("atcL")), 3);
  event("txTC", "slBn", "actn");
  EXPECT_FALSE(isOpen("txTC"));
  EXPECT_EQ(sentStartingWith("$CQ"), Lines{"$CQABC:K_GND:ATIS"});
  EXPECT_FLOAT_EQ(radio(), 121.7f);
  EXPECT_TRUE(historyHas("====> switched to K_GND on 121.700 (expect ATIS)"));

  // Its OK button closes it and tunes nothing; the first row can be tuned.
  openAtcWindow();
  host().model().listSelectRow(static_cast<int>(FourCC("txTC")),
                               static_cast<int>(FourCC("atcL")), 0);
  const std::size_t before = history().size();
  event("txTC", "okBn", "actn");
  EXPECT_FALSE(isOpen("txTC"));
  EXPECT_EQ(postedSince(before), Lines{});
  openAtcWindow();
  host().model().listSelectRow(static_cast<int>(FourCC("txTC")),
                               static_cast<int>(FourCC("atcL")), 0);
  event("txTC", "slBn", "actn");
  EXPECT_FALSE(isOpen("txTC"));
  EXPECT_EQ(postedSince(before), Lines{kUnicomSwitch});
  EXPECT_FLOAT_EQ(radio(), 122.8f);

  // A station without an item, picked under "All stations": both windows
  // name it with its own frequency and the radio holds it; it leaving
  // falls back to UNICOM, though the popup never listed it.
  const Lines items = atcItems();
  openAtcWindow();
  showEveryStation(true);
  host().model().listSelectRow(static_cast<int>(FourCC("txTC")),
                               static_cast<int>(FourCC("atcL")), 3);
  event("txTC", "slBn", "actn");
  EXPECT_EQ(nextSentStartingWith("$CQ"), "$CQABC:XYZ_ATIS:ATIS");
  EXPECT_EQ(shownStation(), "XYZ_ATIS");
  EXPECT_EQ(control("txMN", "aFrq")->text, "127.350");
  EXPECT_FLOAT_EQ(radio(), 127.35f);
  openAtcWindow();
  showEveryStation(true);
  EXPECT_EQ(control("txTC", "atcL")->selectedRow, 3);
  deliver("#DAXYZ_ATIS");
  EXPECT_EQ(postedSince(before),
            (Lines{kUnicomSwitch,
                   "====> switched to XYZ_ATIS on 127.350 (expect ATIS)",
                   kExpired, kUnicomSwitch}));
  EXPECT_EQ(atcItems(), items);
  EXPECT_EQ(shownStation(), "UNICOM_CTR");
  EXPECT_EQ(control("txTC", "atcL")->selectedRow, 0);
  idle();
  dial(121.7f);  // tuned by dialling, the open window follows
  idle();
  EXPECT_EQ(control("txTC", "atcL")->selectedRow, 4);
}

// A station is listed only on a frequency the radio can be tuned to: a
// finite number from 118.000 to 136.975 MHz.
TEST_F(AtcStationsTest, StationsOutsideTheRadiosBandAreNotListed) {
  start("127.0.0.196");
  // The first line still makes UNICOM and tunes it; its own station is not
  // listed, and the radio stays a finite number.
  deliver("%XYZ_TWR:00e99:4:50:3");
  EXPECT_EQ(atcItems(), Lines{"UNICOM_CTR"});
  EXPECT_FLOAT_EQ(radio(), 122.8f);
  idle();
  EXPECT_EQ(historyCount(kUnicomSwitch), 1);
  for (const char* field : {"00e99", "00e38", "-1e99", "nan", "inf", "",
                            "17999", "36976", "99999", "00000", "x8150"}) {
    SCOPED_TRACE(field);
    deliver(std::string("%BAD_TWR:") + field + ":4:50:3");
    EXPECT_EQ(atcItems(), Lines{"UNICOM_CTR"});
  }
  openAtcWindow();
  showEveryStation(true);
  EXPECT_EQ(atcRows(), Lines{"UNICOM_CTR 122.800"});
  // The band's two ends are listed; dialling one tunes it.
  deliver("%LOW_TWR:18000:4:50:3");
  deliver("%TOP_CTR:36975:4:50:3");
  EXPECT_EQ(atcItems(), (Lines{"UNICOM_CTR", "LOW_TWR", "TOP_CTR"}));
  dial(118.0f);
  ASSERT_TRUE(pump([&] {
    return historyHas("====> switched to LOW_TWR on 118.000 (expect ATIS)");
  }));
  EXPECT_TRUE(std::isfinite(radio()));
}

TEST_F(AtcStationsTest, SilentStationsExpireAndTheTunedOneFallsBackToUnicom) {
  start("127.0.0.92");
  deliver(kTowerLine);
  deliver("%K_GND:21700:x:1:2");
  idle();
  pickStation("XYZ_TWR");
  EXPECT_FLOAT_EQ(radio(), 118.15f);
  ASSERT_TRUE(historyHas(kTowerSwitch));
  EXPECT_EQ(sentStartingWith("$CQ"), Lines{"$CQABC:XYZ_TWR:ATIS"});
  idle();  // the change picking caused is not the user's: nothing switches
  EXPECT_EQ(historyCount(kTowerSwitch), 1);

  for (int i = 1; i <= 11; ++i) {
    tick();
    if (i == 6) deliver("%K_GND:26000:x:1:2");  // heard again, same frequency
  }
  EXPECT_FALSE(historyHas("Removing ATC: XYZ_TWR (expired)"));
  const std::size_t before = history().size();
  const int alerts = static_cast<int>(state().sounds.size());
  tick();
  EXPECT_EQ(postedSince(before),
            (Lines{"Removing ATC: XYZ_TWR (expired)",
                   "** Active ATC position expired !! ==> you will be "
                   "switched to UNICOM",
                   kUnicomSwitch}));
  EXPECT_FLOAT_EQ(radio(), 122.8f);
  EXPECT_EQ(shownStation(), "UNICOM_CTR");
  EXPECT_EQ(static_cast<int>(state().sounds.size()), alerts + 1);
  EXPECT_EQ(lastSound(), "MYATTN.WAV");
  EXPECT_EQ(atcItems(), (Lines{"UNICOM_CTR", "K_GND"}));

  // K_GND was heard at tick 6; UNICOM never expires.
  for (int i = 0; i < 5; ++i) tick();
  EXPECT_EQ(atcItems(), (Lines{"UNICOM_CTR", "K_GND"}));
  tick();
  EXPECT_TRUE(historyHas("Removing ATC: K_GND (expired)"));
  EXPECT_EQ(atcItems(), Lines{"UNICOM_CTR"});
  openAtcWindow();
  EXPECT_EQ(control("txTC", "atcL")->rows.size(), 1u);
  EXPECT_EQ(historyCount("** Active ATC position expired !! ==> you will be "
                         "switched to UNICOM"),
            1);
}

TEST_F(AtcStationsTest, ItemsStayUniqueWhenNumbersRepeat) {
  start("127.0.0.93");
  // B_TWR gets number 2; after A_TWR leaves, C_TWR's number is 2 as well.
  for (const char* line : {"%A_TWR:18100:x:1:2", "%B_TWR:18200:x:1:2"})
    deliver(line);
  deliver("#DAA_TWR");
  deliver("%C_TWR:18300:x:1:2");
  EXPECT_EQ(atcItems(), (Lines{"UNICOM_CTR", "B_TWR", "C_TWR"}));
  // A_TWR's id is free again and is the one C_TWR gets, so a long session
  // never runs out of ids.
  const auto idOf = [&](const std::string& callsign) {
    const auto popup = control("txMN", "sAtc");
    for (const auto& item : popup->items)
      if (item.text == callsign) return item.id;
    return -1;
  };
  EXPECT_EQ(idOf("C_TWR"), 1);
  EXPECT_EQ(idOf("B_TWR"), 2);
  deliver("#DAC_TWR");
  EXPECT_EQ(atcItems(), (Lines{"UNICOM_CTR", "B_TWR"}));
  deliver("#DAnobody");
  EXPECT_EQ(atcItems(), (Lines{"UNICOM_CTR", "B_TWR"}));

  // A tuned station whose callsign is longer than the popup's shown text
  // still falls back to UNICOM when it expires.
  const std::string longTower = std::string(46, 'L') + "_TWR";
  deliver("%" + longTower + ":18400:x:1:2");
  idle();
  pickStation(longTower);
  EXPECT_FLOAT_EQ(radio(), 118.4f);
  for (int i = 0; i < 12; ++i) tick();
  EXPECT_TRUE(
      historyHas("** Active ATC position expired !! ==> you will be "
                 "switched to UNICOM"));
  EXPECT_FLOAT_EQ(radio(), 122.8f);
  EXPECT_EQ(shownStation(), "UNICOM_CTR");

  // UNICOM is the plug-in's own: the network does not remove it, and the
  // stations after it age as ever.
  deliver("%D_TWR:18500:x:1:2");
  deliver("#DAUNICOM_CTR");
  EXPECT_EQ(atcItems(), (Lines{"UNICOM_CTR", "D_TWR"}));
  for (int i = 0; i < 12; ++i) tick();
  EXPECT_EQ(atcItems(), Lines{"UNICOM_CTR"});
  EXPECT_TRUE(historyHas("Removing ATC: D_TWR (expired)"));
}

TEST_F(AtcStationsTest, RemovalDisconnectAndReconnectKeepOneUnicom) {
  start("127.0.0.94");
  deliver(kTowerLine);
  deliver("%SAME_APP:18150:x:1:2");  // a second station on 118.15
  idle();
  pickStation("UNICOM_CTR");  // already tuned: nothing happens
  pickStation("XYZ_TWR");
  EXPECT_EQ(sentStartingWith("$CQ"), Lines{"$CQABC:XYZ_TWR:ATIS"});

  // "#DA" of the tuned station: gone from the list, and the user falls
  // back to UNICOM as on expiry, so the popup and 'aFrq' name the station
  // that is tuned.
  std::size_t before = history().size();
  deliver("#DAXYZ_TWR");
  EXPECT_EQ(atcItems(), (Lines{"UNICOM_CTR", "SAME_APP"}));
  EXPECT_EQ(postedSince(before),
            (Lines{"** Active ATC position expired !! ==> you will be "
                   "switched to UNICOM",
                   kUnicomSwitch}));
  EXPECT_EQ(shownStation(), "UNICOM_CTR");
  EXPECT_EQ(control("txMN", "aFrq")->text, "122.800");
  EXPECT_FLOAT_EQ(radio(), 122.8f);

  // Picking UNICOM again asks nothing; dialling 118.15 then finds SAME_APP.
  pickStation("UNICOM_CTR");
  EXPECT_EQ(historyCount(kUnicomSwitch), 2);
  idle();
  dial(118.15f);
  ASSERT_TRUE(pump([&] {
    return historyHas("====> switched to SAME_APP on 118.150 (expect ATIS)");
  }));
  EXPECT_EQ(sentStartingWith("$CQ"), Lines{"$CQABC:SAME_APP:ATIS"});

  // The radio already shows the picked station (no idle call between the
  // two picks): the next dial only re-arms the tracking, the one after it
  // switches.
  deliver("%K_GND:21700:x:1:2");
  pickStation("UNICOM_CTR");
  idle();
  pickStation("SAME_APP");
  pickStation("UNICOM_CTR");
  idle();
  before = history().size();
  dial(121.7f);
  idle();
  EXPECT_EQ(postedSince(before), Lines{});
  dial(118.15f);
  idle();
  EXPECT_EQ(postedSince(before),
            Lines{"====> switched to SAME_APP on 118.150 (expect ATIS)"});

  // Killed by the server: the stations go with the session, the tuned one
  // stays tuned and shown with the radio and 'aFrq'.
  ASSERT_TRUE(peer().send("$!!SERVER:ABC:bye\r\n"));
  ASSERT_TRUE(
      pump([&] { return historyHas("You have been removed by: bye"); }));
  EXPECT_EQ(atcItems(), (Lines{"UNICOM_CTR", "SAME_APP"}));
  EXPECT_EQ(shownStation(), "SAME_APP");
  EXPECT_FLOAT_EQ(radio(), 118.15f);
  EXPECT_EQ(control("txMN", "aFrq")->text, "118.150");

  // Disconnect keeps UNICOM alone, without the expiry's fall-back line or
  // its alert, and leaves the tuned station, the radio and 'aFrq' alone.
  const std::size_t soundsBefore = state().sounds.size();
  disconnect();  // the history starts again with "Disconnected."
  EXPECT_EQ(history(), (Lines{"", "Disconnected."}));
  EXPECT_EQ(historyCount(kExpired), 0);
  EXPECT_EQ(state().sounds.size(), soundsBefore);  // and no alert
  EXPECT_EQ(atcItems(), (Lines{"UNICOM_CTR", "SAME_APP"}));
  EXPECT_FLOAT_EQ(radio(), 118.15f);
  EXPECT_EQ(control("txMN", "aFrq")->text, "118.150");
  reconnect("127.0.0.94");
  ASSERT_TRUE(peer().accept());
  ASSERT_TRUE(peer().readLine().has_value());
  before = history().size();
  deliver(kTowerLine);
  EXPECT_EQ(atcItems(), (Lines{"UNICOM_CTR", "SAME_APP", "XYZ_TWR"}));
  EXPECT_EQ(postedSince(before), Lines{});
}

// UNICOM is the plug-in's own first station: "#DA" from the network leaves
// it, tuned or not. The tuned tower leaving falls back to it, and every
// network station still ages.
TEST_F(AtcStationsTest, UnicomStaysFirstWhateverTheNetworkSays) {
  start("127.0.0.77");
  deliver(kTowerLine);
  deliver("%D_TWR:18500:x:1:2");
  idle();
  pickStation("XYZ_TWR");
  EXPECT_EQ(nextSentStartingWith("$CQ"), "$CQABC:XYZ_TWR:ATIS");
  const std::size_t sounds = state().sounds.size();
  const std::size_t before = history().size();
  deliver("#DAUNICOM_CTR");
  EXPECT_EQ(atcItems(), (Lines{"UNICOM_CTR", "XYZ_TWR", "D_TWR"}));
  deliver("#DAXYZ_TWR");
  EXPECT_EQ(postedSince(before), (Lines{kExpired, kUnicomSwitch}));
  EXPECT_EQ(atcItems(), (Lines{"UNICOM_CTR", "D_TWR"}));
  EXPECT_EQ(shownStation(), "UNICOM_CTR");
  EXPECT_FLOAT_EQ(radio(), 122.8f);
  EXPECT_EQ(control("txMN", "aFrq")->text, "122.800");
  EXPECT_EQ(state().sounds.size(), sounds + 1);
  for (int i = 0; i < 12; ++i) tick();
  EXPECT_EQ(atcItems(), Lines{"UNICOM_CTR"});
}

// However a session ends, the tuned station stays tuned with the radio and
// 'aFrq'; when the next session lists it again the popup shows it, its
// frequency's messages are shown and the user's chat goes out on it. Dialling
// and picking then work as before.
TEST_F(AtcStationsTest, EveryEndKeepsTheTunedStationForTheNextSession) {
  const std::string address = "127.0.0.78";
  const std::string lost = "Connection to the server lost.";
  const std::string refused =
      "Could not connect to the server at " + address + ".";
  start(address);
  deliver(kTowerLine);
  idle();
  pickStation("XYZ_TWR");
  ASSERT_TRUE(historyHas(kTowerSwitch));
  ASSERT_EQ(nextSentStartingWith("$CQ"), "$CQABC:XYZ_TWR:ATIS");

  const auto waitForLast = [&](const std::string& line) {
    return pump([&] { return history().back() == line; });
  };
  struct End {
    const char* name;
    std::function<void()> end;
    Lines posted;  // what the end posts, in order
  };
  const End ends[] = {
      {"Disconnect", [&] { disconnect(); }, {"", "Disconnected."}},
      {"kill",
       [&] {
         ASSERT_TRUE(peer().send("$!!SERVER:ABC:bye\r\n"));
         ASSERT_TRUE(waitForLast("You have been removed by: bye"));
       },
       {"You have been removed by: bye"}},
      {"closed by the server",
       [&] {
         peer().closeClient();
         ASSERT_TRUE(waitForLast(lost));
       },
       {lost}},
      // The server goes away, then the next Connect is refused.
      {"refused",
       [&] {
         peer_.reset();
         ASSERT_TRUE(waitForLast(lost));
         reconnect(address);
         ASSERT_TRUE(waitForLast(refused));
         peer_ = std::make_unique<testing::LoopbackPeer>(address);
       },
       {lost, refused}},
  };
  for (const End& row : ends) {
    SCOPED_TRACE(row.name);
    const Lines before = history();
    ASSERT_NO_FATAL_FAILURE(row.end());
    const Lines after = history();
    if (row.posted.front().empty()) {
      EXPECT_EQ(after, row.posted);  // Disconnect starts the history again
    } else {
      EXPECT_EQ(postedSince(before.size()), row.posted);
      EXPECT_TRUE(std::equal(before.begin(), before.end(), after.begin()));
    }
    EXPECT_EQ(atcItems(), (Lines{"UNICOM_CTR", "XYZ_TWR"}));
    EXPECT_EQ(shownStation(), "XYZ_TWR");
    EXPECT_FLOAT_EQ(radio(), 118.15f);
    EXPECT_EQ(control("txMN", "aFrq")->text, "118.150");

    // The next session lists the tower again: shown as tuned, unannounced.
    reconnect(address);
    ASSERT_TRUE(peer().accept());
    ASSERT_EQ(peer().readLine(), "#APABC:SERVER:123:pw:1:9:3:Jo Lee KSFO");
    std::size_t from = history().size();
    deliver(kTowerLine);
    EXPECT_EQ(atcItems(), (Lines{"UNICOM_CTR", "XYZ_TWR"}));
    EXPECT_EQ(shownStation(), "XYZ_TWR");
    EXPECT_EQ(control("txMN", "aFrq")->text, "118.150");
    EXPECT_FLOAT_EQ(radio(), 118.15f);
    deliver("#TMxyz:@18150:cleared to land");
    deliver("#TMDEF:@22800:on unicom");  // not the tuned frequency
    EXPECT_EQ(postedSince(from), Lines{"XYZ: cleared to land"});
    host().model().setText(static_cast<int>(FourCC("txMN")),
                           static_cast<int>(FourCC("text")), "wilco");
    event("txMN", "text", "tent");
    EXPECT_EQ(nextSentStartingWith("#TM"), "#TMABC:@18150:wilco");
    // The sender shows the echo once the line is written, which may be
    // after the peer has read it.
    ASSERT_TRUE(waitForLast("ABC: wilco"));

    // Dialling UNICOM and picking the tower again each switch once.
    from = history().size();
    dial(122.8f);
    idle();
    EXPECT_EQ(shownStation(), "UNICOM_CTR");
    EXPECT_EQ(control("txMN", "aFrq")->text, "122.800");
    pickStation("XYZ_TWR");
    EXPECT_EQ(postedSince(from), (Lines{kUnicomSwitch, kTowerSwitch}));
    EXPECT_FLOAT_EQ(radio(), 118.15f);
    EXPECT_EQ(shownStation(), "XYZ_TWR");
    EXPECT_EQ(nextSentStartingWith("$CQ"), "$CQABC:XYZ_TWR:ATIS");
    idle();
  }

  // Only the tuned station itself, on its own frequency, is shown again:
  // neither another station on that frequency nor the same callsign on
  // another one (the radio does not hear it there).
  disconnect();
  reconnect(address);
  ASSERT_TRUE(peer().accept());
  ASSERT_TRUE(peer().readLine().has_value());
  deliver("%SAME_APP:18150:x:1:2");
  deliver("%XYZ_TWR:18200:4:50:3");
  EXPECT_EQ(atcItems(),
            (Lines{"UNICOM_CTR", "XYZ_TWR", "SAME_APP", "XYZ_TWR"}));
  EXPECT_EQ(control("txMN", "sAtc")->selected, atcItem("XYZ_TWR"));
  EXPECT_EQ(control("txMN", "aFrq")->text, "118.150");
  EXPECT_FLOAT_EQ(radio(), 118.15f);
  // The new XYZ_TWR's own item tunes it, and the old one's item goes.
  select("txMN", "sAtc", control("txMN", "sAtc")->items.back().id);
  EXPECT_EQ(atcItems(), (Lines{"UNICOM_CTR", "SAME_APP", "XYZ_TWR"}));
  EXPECT_FLOAT_EQ(radio(), 118.2f);
  EXPECT_EQ(nextSentStartingWith("$CQ"), "$CQABC:XYZ_TWR:ATIS");
}

}  // namespace
}  // namespace talvix
