// The terminal front end's parts that need no terminal: the layout, the
// scope's geometry, the aircraft's flight, the keys and the bounded records.
#include <curses.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <sstream>

#include "core/fourcc.h"
#include "sim/geometry.h"
#include "sim/tui/controller.h"
#include "sim/tui/flight.h"
#include "sim/tui/keys.h"
#include "sim/tui/layout.h"
#include "sim/tui/panel_keys.h"
#include "sim/tui/picture.h"
#include "sim/tui/scope.h"
#include "sim/win_file.h"

namespace sim::tui {
namespace {

Window ShippedWindow(const std::string& file) {
  std::ifstream in(std::string(TALVIX_SOURCE_DIR) + "/data/" + file);
  std::stringstream text;
  text << in.rdbuf();
  Window w;
  std::string error;
  EXPECT_TRUE(ParseWinText(text.str(), &w, &error)) << error;
  return w;
}

const ControlPlace* PlaceOf(const std::vector<ControlPlace>& places,
                            const Window& w, const char* code) {
  for (const auto& p : places)
    if (talvix::FourCCText(w.controls[p.index].code) == code) return &p;
  return nullptr;
}

TEST(Layout, ScreenRegionsTileTheTerminalOrSayItIsTooSmall) {
  EXPECT_FALSE(ComputeScreenLayout(kMinRows - 1, 200).fits);
  EXPECT_FALSE(ComputeScreenLayout(60, kMinCols - 1).fits);
  for (auto [rows, cols] : {std::pair{kMinRows, kMinCols}, {50, 160}}) {
    ScreenLayout l = ComputeScreenLayout(rows, cols);
    ASSERT_TRUE(l.fits);
    EXPECT_EQ(cols, l.window.width + l.panel.width);
    EXPECT_EQ(l.panel.bottom(), l.scope.row);
    EXPECT_EQ(l.window.bottom(), l.notice.row);
    EXPECT_EQ(l.scope.bottom(), l.notice.row);
    EXPECT_EQ(rows, l.help.bottom());
    // Without the key help the window and the scope take its two lines.
    ScreenLayout bare = ComputeScreenLayout(rows, cols, false);
    EXPECT_EQ(0, bare.help.height);
    EXPECT_EQ(rows - 1, bare.notice.row);
    EXPECT_EQ(l.window.height + 2, bare.window.height);
    EXPECT_EQ(l.scope.height + 2, bare.scope.height);
    EXPECT_EQ(l.panel.height, bare.panel.height);
  }
}

TEST(Layout, AtTheSmallestSizeEveryControlOfEveryWindowFits) {
  const ScreenLayout l = ComputeScreenLayout(kMinRows, kMinCols);
  const Rect content = ContentArea(l.window);
  EXPECT_EQ(kPanelWidth, l.panel.width);
  for (const char* file : {"txMain.win", "txConnect.win", "txFP.win",
                           "txATC.win", "txAcft.WIN", "txPic.win"}) {
    Window w = ShippedWindow(file);
    auto places = LayoutControls(w, content.height, content.width);
    std::size_t shown = 0;
    for (const Control& c : w.controls)
      if (c.kind != ControlKind::kMenu && c.kind != ControlKind::kControl)
        ++shown;
    EXPECT_EQ(shown, places.size()) << file;
    for (const auto& p : places) {
      EXPECT_LE(p.rect.right(), content.width) << file;
      EXPECT_LE(p.rect.bottom(), content.height) << file;
    }
    // What the focus indicator and the captions show is never a code.
    for (const Control& c : w.controls)
      EXPECT_NE(talvix::FourCCText(c.code), ControlCaption(c)) << file;
  }
  // A popup keeps its width whatever items come and go, so nothing after
  // it moves; a long item is cut, not let out.
  Window w = ShippedWindow("txMain.win");
  auto before = LayoutControls(w, content.height, content.width);
  w.find(talvix::FourCC("spMg"))->items.push_back({7, "VERYLONGCALLSIGN"});
  w.find(talvix::FourCC("sAtc"))->items.push_back({8, "SFO_TWR"});
  auto after = LayoutControls(w, content.height, content.width);
  ASSERT_EQ(before.size(), after.size());
  for (std::size_t i = 0; i < before.size(); ++i)
    EXPECT_EQ(before[i].rect.col, after[i].rect.col);
  Control list;
  list.kind = ControlKind::kList;
  list.columns = {{"History", 1024}};
  EXPECT_EQ("History", ControlCaption(list));
  list.columns.push_back({"Frequency", 80});
  EXPECT_EQ("List", ControlCaption(list));
}

TEST(Layout, MainWindowGivesTheHistoryTheRoomAndMenusNoPlace) {
  Window w = ShippedWindow("txMain.win");
  auto places = LayoutControls(w, 40, 93);
  const ControlPlace* history = PlaceOf(places, w, "hist");
  const ControlPlace* line = PlaceOf(places, w, "text");
  ASSERT_TRUE(history && line);
  EXPECT_EQ(0, history->rect.row);
  EXPECT_EQ(history->rect.bottom(), line->rect.row);
  EXPECT_EQ(93, line->rect.width);  // "width 0": a row of its own
  EXPECT_EQ(nullptr, PlaceOf(places, w, "cnmn"));
  int bottom = 0;
  for (const auto& a : places) {
    bottom = std::max(bottom, a.rect.bottom());
    EXPECT_LE(a.rect.right(), 93);
    for (const auto& b : places) {
      if (&a == &b || a.rect.row != b.rect.row) continue;
      EXPECT_TRUE(a.rect.right() <= b.rect.col || b.rect.right() <= a.rect.col);
    }
  }
  EXPECT_EQ(40, bottom);
}

TEST(Layout, AWindowWithoutListIsAFormWithButtonsSideBySide) {
  Window w = ShippedWindow("txConnect.win");
  auto places = LayoutControls(w, 40, 93);
  const ControlPlace* server = PlaceOf(places, w, "ipMN");
  const ControlPlace* callsign = PlaceOf(places, w, "csgn");
  const ControlPlace* ok = PlaceOf(places, w, "okBn");
  const ControlPlace* cancel = PlaceOf(places, w, "cnBn");
  ASSERT_TRUE(server && callsign && ok && cancel);
  EXPECT_EQ(server->rect.row + 1, callsign->rect.row);
  EXPECT_EQ(server->captionWidth, callsign->captionWidth);
  EXPECT_EQ(static_cast<int>(std::string("First name").size()),
            callsign->captionWidth);
  EXPECT_EQ(ok->rect.row, cancel->rect.row);
  EXPECT_EQ("Callsign", ControlCaption(w.controls[callsign->index]));
  // Too little room: what does not fit is left out, nothing spills over.
  EXPECT_LT(LayoutControls(w, 3, 93).size(), places.size());
}

// A form's text fields show as much as the window's width allows.
TEST(Layout, AFormsTextFieldsTakeTheWholeRow) {
  for (const char* file : {"txFP.win", "txConnect.win"}) {
    Window w = ShippedWindow(file);
    for (const ControlPlace& p : LayoutControls(w, 40, 93))
      if (w.controls[p.index].kind == ControlKind::kText)
        EXPECT_EQ(93, p.rect.width)
            << file << " " << ControlCaption(w.controls[p.index]);
  }
}

TEST(Scope, TargetsMoveOnByTheirVelocityUntilTheNextReport) {
  HostState s;
  s.user.position = {37.6 * 3600, (360 - 122.4) * 3600, 13};
  SimObject o;
  o.id = 7;
  o.names[0] = "ABC12";
  o.names[1] = "ABC12 - ~B738";
  o.model = "tvox\\B738.tvx";
  o.position = {s.user.position.lat + 60, s.user.position.lon, 3000};  // 1 nm N
  o.velocity = {0, 10, kFeetPerNauticalMile / 10};  // north at 0.1 nm a second
  s.objects.push_back(o);
  ScopeTracker tracker;
  auto t = tracker.update(s);
  ASSERT_EQ(1u, t.size());
  EXPECT_EQ("ABC12", t[0].callsign);
  EXPECT_EQ("B738", t[0].type);
  EXPECT_NEAR(1.0, t[0].northNm, 1e-6);
  EXPECT_NEAR(0.0, t[0].eastNm, 1e-6);
  s.hostTime = 2.0;
  t = tracker.update(s);
  EXPECT_NEAR(1.2, t[0].northNm, 1e-6);
  EXPECT_NEAR(3020, t[0].altitudeFt, 1e-6);
  s.objects[0].position.lat += 60;  // a new report: drawn where it says
  t = tracker.update(s);
  EXPECT_NEAR(2.0, t[0].northNm, 1e-6);
  s.objects[0].names[1].clear();
  EXPECT_EQ("B738", TargetType(s.objects[0]));

  const Rect area{10, 20, 21, 41};  // centre (20, 40)
  int row = 0, col = 0;
  ASSERT_TRUE(ScopeCell(area, 10, 0, 0, &row, &col));
  EXPECT_EQ(20, row);
  EXPECT_EQ(40, col);
  ASSERT_TRUE(
      ScopeCell(area, 10, 10, 10, &row, &col));  // a column is half a row
  EXPECT_EQ(10, row);
  EXPECT_EQ(60, col);
  EXPECT_FALSE(ScopeCell(area, 10, 0, -10.6, &row, &col));
}

TEST(Flight, OnTheGroundItSteersLevelAndClimbsOnlyFromTakeOffSpeed) {
  UserAircraft u;
  u.position = {37.6 * 3600, 237.6 * 3600, 13};
  FlightTargets t = CurrentTargets(u);
  EXPECT_EQ(13.0, t.groundFt);  // standing: the field's elevation
  t.headingDeg = 90;
  t.knots = 100;
  t.altitudeFt = 1000;
  Fly(u, t, 1.0);
  EXPECT_NEAR(3.0, u.orientation.y * 180 / 3.14159265358979, 1e-3);
  EXPECT_EQ(0.0, u.orientation.z);  // turning on the ground, wings level
  EXPECT_NEAR(3.0, u.speed / kFeetPerSecondPerKnot, 1e-3);
  EXPECT_EQ(13.0, u.position.alt);              // too slow to climb
  for (int i = 0; i < 18; ++i) Fly(u, t, 1.0);  // 60 kt less one step
  EXPECT_NEAR(kTakeOffKnots - 3, u.speed / kFeetPerSecondPerKnot, 1e-3);
  EXPECT_EQ(13.0, u.position.alt);
  EXPECT_EQ(0.0, u.orientation.z);
  Fly(u, t, 1.0);  // take-off speed: it leaves the ground
  EXPECT_GT(u.position.alt, 13.0);
  for (int i = 0; i < 60; ++i) Fly(u, t, 1.0);
  EXPECT_NEAR(90.0, u.orientation.y * 180 / 3.14159265358979, 1e-3);
  EXPECT_EQ(0.0, u.orientation.z);
  EXPECT_NEAR(100.0, u.speed / kFeetPerSecondPerKnot, 1e-3);
  const double lon = u.position.lon;
  Fly(u, t, 1.0);  // due east: longitude grows
  EXPECT_GT(u.position.lon, lon);
  // In the air it banks into a turn; slowed right down it stays in the air
  // and still comes down no lower than the ground.
  t.headingDeg = 180;
  Fly(u, t, 1.0);
  EXPECT_GT(u.orientation.z, 0.0);
  t.knots = 0;
  t.altitudeFt = -500;
  for (int i = 0; i < 400; ++i) Fly(u, t, 1.0);
  EXPECT_EQ(13.0, u.position.alt);
  EXPECT_EQ(0.0, u.orientation.z);
  // Started in the air (fast enough to fly), the ground is sea level.
  UserAircraft high;
  high.position.alt = 5000;
  high.speed = static_cast<float>(120 * kFeetPerSecondPerKnot);
  EXPECT_EQ(0.0, CurrentTargets(high).groundFt);
}

TEST(Keys, EveryKeyOfTheHelpLineDoesWhatItSays) {
  const std::pair<int, Action> table[] = {{KEY_F(1), Action::kMenu},
                                          {KEY_F(4), Action::kSimMenu},
                                          {KEY_F(5), Action::kHeadingLeft},
                                          {KEY_F(8), Action::kAltitudeUp},
                                          {KEY_F(10), Action::kSpeedUp},
                                          {KEY_F(11), Action::kComDown},
                                          {'\t', Action::kNextControl},
                                          {KEY_BTAB, Action::kPrevControl},
                                          {'\r', Action::kActivate},
                                          {' ', Action::kToggle},
                                          {23, Action::kNextWindow},
                                          {27, Action::kEscape},
                                          {6, Action::kComEntry},
                                          {24, Action::kSquawkEntry},
                                          {20, Action::kModeCycle},
                                          {18, Action::kRangeCycle},
                                          {17, Action::kQuit},
                                          {3, Action::kQuit},
                                          {KEY_RESIZE, Action::kResize},
                                          {'a', Action::kType},
                                          {1, Action::kNone}};
  for (auto [key, action] : table) EXPECT_EQ(action, MapKey(key).action) << key;
  EXPECT_EQ(2, MapKey(KEY_F(3)).arg);
  // Each help line fits its terminal: the full ones at 160 columns, the
  // short ones at the smallest; Esc is said to close dialogs only.
  for (int i = 0; i < 2; ++i) {
    EXPECT_LE(std::strlen(kHelpLines[i]), 160u) << kHelpLines[i];
    EXPECT_LE(std::strlen(kShortHelpLines[i]),
              static_cast<std::size_t>(kMinCols))
        << kShortHelpLines[i];
  }
  EXPECT_NE(nullptr, std::strstr(kHelpLines[0], "Esc close dialog"));
  EXPECT_NE(nullptr, std::strstr(kShortHelpLines[0], "Esc close dialog"));
}

// The panel's prompts at their longest fit the narrowest panel's lines.
TEST(Keys, PromptsFitTheNarrowestPanel) {
  const struct {
    Prompt::Kind kind;
    const char* text;
  } table[] = {{Prompt::Kind::kSquawk, "4521"},
               {Prompt::Kind::kCom, "122.850"}};
  for (const auto& row : table) {
    const std::string line = PromptLine({row.kind, row.text});
    EXPECT_LE(line.size(), static_cast<std::size_t>(kPanelWidth - 4)) << line;
    EXPECT_NE(std::string::npos, line.find("Esc cancels")) << line;
  }
}

// The terminal's UTF-8 becomes the Latin-1 bytes of the plug-in's fields;
// a character Latin-1 lacks is named, never dropped unseen.
TEST(Keys, Utf8LettersBecomeLatin1OrAreRefusedByName) {
  const struct {
    std::vector<int> bytes;
    Action action;
    int arg;
  } table[] = {
      {{'a'}, Action::kType, 'a'},
      {{0xC3, 0xA9}, Action::kType, 0xE9},        // e acute
      {{0xC3, 0x9F}, Action::kType, 0xDF},        // sharp s
      {{0xC2, 0xA0}, Action::kType, 0xA0},        // no-break space
      {{0xC2, 0x85}, Action::kUntypable, 0x85},   // a C1 control
      {{0xC5, 0x82}, Action::kUntypable, 0x142},  // l with stroke
      {{0xE2, 0x82, 0xAC}, Action::kUntypable, 0x20AC},
      {{0xF0, 0x9F, 0x98, 0x80}, Action::kUntypable, 0x1F600},
      {{0xA9}, Action::kUntypable, 0xFFFD},  // a stray continuation byte
      {{0xC3, 'x'}, Action::kType, 'x'},     // a broken sequence is left
      {{0xC3, '\t'}, Action::kNextControl, 0},
  };
  for (const auto& row : table) {
    KeyDecoder decoder;
    KeyAction last;
    for (std::size_t i = 0; i < row.bytes.size(); ++i) {
      last = decoder.feed(row.bytes[i]);
      if (i + 1 < row.bytes.size()) EXPECT_EQ(Action::kNone, last.action);
    }
    EXPECT_EQ(row.action, last.action) << row.bytes.front();
    if (row.action != Action::kNextControl) EXPECT_EQ(row.arg, last.arg);
  }
  // The decoder goes on after a character.
  KeyDecoder decoder;
  EXPECT_EQ(Action::kNone, decoder.feed(0xC3).action);
  EXPECT_EQ(0xE4, decoder.feed(0xA4).arg);
  EXPECT_EQ(Action::kMenu, decoder.feed(KEY_F(1)).action);
}

TEST(Records, ALongSessionKeepsTheHostsRecordsBounded) {
  HostState s;
  ViewState view;
  for (int i = 0; i < 5000; ++i) {
    s.notices.push_back({"n" + std::to_string(i), 2.0f, 0.0});
    s.sounds.push_back({"beep.wav", i, 0.0});
    s.faults.push_back("f");
    s.alerts.push_back("a" + std::to_string(i));
    BoundRecords(s, view);
  }
  EXPECT_LE(s.notices.size(), 32u);
  EXPECT_EQ("n4999", s.notices.back().text);
  EXPECT_LE(s.sounds.size(), 32u);
  EXPECT_LE(s.faults.size(), 100u);
  EXPECT_TRUE(s.alerts.empty());
  EXPECT_EQ(20u, view.alerts.size());
  EXPECT_EQ("a4999", view.alerts.back());
}

TEST(Picture, PlainAndRawBitmapsAndNothingElse) {
  Bitmap b;
  ASSERT_TRUE(ParsePbm("P1\n# c\n3 2\n1 0 1\n0 1 0\n", &b));
  EXPECT_TRUE(b.at(0, 0) && !b.at(1, 0) && b.at(1, 1));
  ASSERT_TRUE(ParsePbm(std::string("P4 9 1 ") + "\x80\x80", &b));
  EXPECT_TRUE(b.at(0, 0) && b.at(8, 0) && !b.at(1, 0));
  for (const char* bad :
       {"P1 2 2 1 0 1", "P4 8 2 \x01", "P2 1 1 1", "P1 99999 1"})
    EXPECT_FALSE(ParsePbm(bad, &b)) << bad;
}

}  // namespace
}  // namespace sim::tui
