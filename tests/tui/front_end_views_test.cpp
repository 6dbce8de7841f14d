// How the terminal front end fits things on the screen: list rows wrapped
// and scrolled by screen lines, text fields around their cursor, the scope's
// labels on a busy scope, the chooser's selection, and the network light
// read from this process's own sockets.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <set>

#include "core/fourcc.h"
#include "sim/sim.h"
#include "sim/tui/connection_light.h"
#include "sim/tui/controller.h"
#include "sim/tui/list_view.h"
#include "sim/tui/scope_picture.h"

using talvix::FourCC;

namespace sim::tui {
namespace {

std::string Joined(const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += (text.empty() ? "" : "|") + line;
  return text;
}

TEST(ListView, LongTextWrapsAtBlanksOrInsideALongWord) {
  const struct {
    const char* text;
    int width;
    const char* lines;
  } table[] = {
      {"", 10, ""},
      {"short", 10, "short"},
      {"exactly10c", 10, "exactly10c"},
      {"one two three four", 9, "one two|three|four"},
      {"abcdefghijkl", 5, "abcde|fghij|kl"},
      {"ab cdefghijkl", 5, "ab|cdefg|hijkl"},
      {"a    b", 3, "a  | b"},  // blanks inside the text are kept
  };
  for (const auto& row : table) {
    auto lines = WrapText(row.text, row.width);
    EXPECT_EQ(row.lines, Joined(lines)) << row.text;
    for (const auto& line : lines)
      EXPECT_LE(static_cast<int>(line.size()), row.width) << row.text;
  }
  // 300 characters at the history's width at 100x30: nothing lost.
  std::string message;
  for (int i = 1; i <= 60; ++i)
    message += (i > 1 ? " " : "") + std::string("a") + (i < 10 ? "00" : "0") +
               std::to_string(i);
  auto lines = WrapText(message, 54);
  EXPECT_EQ(6u, lines.size());
  std::string back;
  for (const auto& line : lines) back += (back.empty() ? "" : " ") + line;
  EXPECT_EQ(message, back);
}

Control HistoryWith(const std::vector<std::string>& rows) {
  Control c;
  c.kind = ControlKind::kList;
  c.columns = {{"History", 1024}};
  for (const auto& row : rows) c.rows.push_back({row});
  return c;
}

TEST(ListView, RowsTakeTheLinesTheyNeedAndTheNewestStayInView) {
  Control c = HistoryWith({"", "one", std::string(25, 'x'), "two"});
  auto widths = ColumnWidths(c.columns, 10);
  ASSERT_EQ(std::vector<int>{10}, widths);
  auto lines = ListLines(c, widths);
  ASSERT_EQ(6u, lines.size());  // the long row takes three lines
  EXPECT_EQ(2, lines[2].row);
  EXPECT_EQ(2, lines[4].row);
  EXPECT_EQ("xxxxx", lines[4].cells[0]);
  ListView view;
  PlaceListView(view, lines, -1, 4);
  EXPECT_EQ(2, view.top);  // the last four lines
  // Paging goes by screen lines; back at the end the newest are followed.
  PageList(view, -1);
  EXPECT_EQ(0, view.top);
  EXPECT_TRUE(view.pinned);
  c.rows.push_back({"three"});
  lines = ListLines(c, widths);
  PlaceListView(view, lines, -1, 4);
  EXPECT_EQ(0, view.top);  // a new row does not move what the person reads
  PageList(view, 1);
  EXPECT_EQ(3, view.top);
  EXPECT_FALSE(view.pinned);
  c.rows.push_back({"four"});
  lines = ListLines(c, widths);
  PlaceListView(view, lines, -1, 4);
  EXPECT_EQ(4, view.top);
  // A selected row comes into view whole; a row taller than the list from
  // its start.
  PlaceListView(view, lines, 2, 4);
  EXPECT_EQ(2, view.top);
  PlaceListView(view, lines, 2, 2);
  EXPECT_EQ(2, view.top);
  PlaceListView(view, lines, 5, 4);
  EXPECT_EQ(4, view.top);
}

TEST(ListView, ColumnsKeepRoomForTheirTitles) {
  const std::vector<ListColumn> aircraft = {
      {"Description", 1024}, {"Csl", 4}, {"model", 4}, {"engine", 1}};
  auto widths = ColumnWidths(aircraft, 93);
  ASSERT_EQ(4u, widths.size());
  int sum = 0;
  for (int w : widths) sum += w;
  EXPECT_EQ(93, sum);
  EXPECT_GE(widths[1], 4);
  EXPECT_GE(widths[2], 6);
  EXPECT_GE(widths[3], 7);
  for (int width : {0, 5, 20}) {
    int total = 0;
    for (int w : ColumnWidths(aircraft, width)) {
      EXPECT_GE(w, 0);
      total += w;
    }
    EXPECT_EQ(width, total);
  }
}

// The aircraft chooser's codes stay on one line each, at the smallest and
// the largest window.
TEST(ListView, ShortCellsKeepTheirRowOnOneLine) {
  Control c;
  c.columns = {{"Description", 1024}, {"Csl", 4}, {"model", 4}, {"engine", 1}};
  c.rows = {{"Cessna 172 Skyhawk", "C172", "C172", "P"},
            {"Dash 8-400", "DH8D", "DH8D", "T"},
            {"Beechcraft King Air 350", "B350", "B350", "T"}};
  for (int width : {54, 93}) {
    const auto widths = ColumnWidths(c.columns, width, c.rows);
    EXPECT_GE(widths[1], 5) << width;  // four letters and the gap
    const auto lines = ListLines(c, widths);
    ASSERT_EQ(c.rows.size(), lines.size()) << width;
    for (std::size_t r = 0; r < lines.size(); ++r)
      EXPECT_EQ(c.rows[r][1], lines[r].cells[1]) << width;
  }
  // A long cell does not claim the room of a short one.
  c.rows.push_back({"x", std::string(40, 'y'), "m", "e"});
  EXPECT_LE(ColumnWidths(c.columns, 93, c.rows)[1], 11);
}

// PgUp and PgDn take a selected row along, to the same place on the page;
// where the page cannot move, to the first or the last row.
TEST(ListView, PagingMovesTheSelectionWithThePage) {
  ListView view;
  std::vector<ListLine> lines;
  for (int row = 0; row < 10; ++row)  // row 4 takes two lines
    for (int i = 0; i < (row == 4 ? 2 : 1); ++i) lines.push_back({row, {""}});
  PlaceListView(view, lines, 1, 5);  // lines 0-4 shown, row 1 selected
  ASSERT_EQ(0, view.top);
  const struct {
    int top, selected, direction, row;
  } table[] = {
      {0, 1, 1, 4},   // row 1 on line 1 of the page; the page at 4: line 5
      {4, 4, 1, 5},   // the page from 4 to the end (6): line 6
      {6, 9, 1, 9},   // the end: the last row
      {6, 7, -1, 4},  // row 7 on line 8; the page from 6 to 2: line 4
      {0, 3, -1, 0},  // the top: the first row
  };
  for (const auto& row : table) {
    view.top = row.top;
    view.pinned = true;
    PageList(view, row.direction);
    EXPECT_EQ(row.row, PagedRow(view, row.top, row.selected, row.direction))
        << row.top << " " << row.selected;
  }
  EXPECT_EQ(-1, PagedRow(ListView{}, 0, 0, 1));  // never drawn
}

// The plug-in's Latin-1 bytes on the terminal.
TEST(TextField, Latin1TextShowsAsUtf8OrQuestionMarks) {
  const std::string text = "caf\xE9 \xDF\x01\x85\x7F~";
  EXPECT_EQ("caf\xC3\xA9 \xC3\x9F???~", ShownText(text, true));
  EXPECT_EQ("caf? ????~", ShownText(text, false));
}

TEST(TextField, ShowsItsStartUnlessTheCursorIsBeyondTheBox) {
  const struct {
    std::size_t size, cursor;
    int width;
    std::size_t start;
  } table[] = {
      {0, 0, 10, 0},  {9, 9, 10, 0},   {10, 10, 10, 1},  {50, 0, 10, 0},
      {50, 9, 10, 0}, {50, 10, 10, 1}, {50, 50, 10, 41}, {50, 99, 10, 41},
  };
  for (const auto& row : table)
    EXPECT_EQ(row.start, FieldStart(row.size, row.cursor, row.width))
        << row.size << " " << row.cursor;
}

class FrontEndWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = std::filesystem::temp_directory_path() /
            ("talvix-views-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root_);
    for (const char* file : {"txAcft.WIN", "txMain.win"})
      std::filesystem::copy_file(
          std::filesystem::path(TALVIX_SOURCE_DIR) / "data" / file,
          root_ / file, std::filesystem::copy_options::overwrite_existing);
    sim_ = std::make_unique<Simulator>(root_.string());
  }
  void TearDown() override {
    sim_.reset();
    std::filesystem::remove_all(root_);
  }
  HostModel& model() { return sim_->model(); }
  void Sync() {
    SyncWindows(view_, model().snapshot());
    SelectChoices(*sim_, model().snapshot(), view_);
  }
  void FillChooser() {
    for (const char* type : {"C172", "B738", "A320"}) {
      const int row = model().listRowCount(kChooser, kList);
      model().listAppendRow(kChooser, kList, 12);
      model().listSetCell(kChooser, kList, row, 0, type);
    }
  }
  int Selected() { return model().listSelectedRow(kChooser, kList); }

  const int kChooser = static_cast<int>(FourCC("txAC"));
  const int kList = static_cast<int>(FourCC("list"));
  std::filesystem::path root_;
  std::unique_ptr<Simulator> sim_;
  ViewState view_;
};

TEST_F(FrontEndWindows, TheChooserOpensOnItsChoiceAndEnterPressesSelect) {
  ASSERT_EQ(1, model().createWindow(kPluginSignature, kChooser, "txAcft.WIN"));
  model().listAddColumn(kChooser, kList, "Description", 1024);
  FillChooser();
  Sync();
  EXPECT_EQ(0, Selected());  // the first row, nothing chosen yet
  EXPECT_EQ(FourCC("list"), view_.focus[FourCC("txAC")]);
  HostState state = model().snapshot();
  Apply({Action::kDown}, *sim_, state, view_);
  state = model().snapshot();
  Apply({Action::kActivate}, *sim_, state, view_);
  EXPECT_EQ(std::vector<std::string>{"B738"},
            view_.chosenRows[ListKey(FourCC("txAC"), FourCC("list"))]);
  // Open again, the rows in another order: the choice is found by its cells.
  model().closeWindow(kChooser);
  Sync();
  ASSERT_EQ(1, model().createWindow(kPluginSignature, kChooser, "txAcft.WIN"));
  model().listAddColumn(kChooser, kList, "Description", 1024);
  model().listAppendRow(kChooser, kList, 12);
  model().listSetCell(kChooser, kList, 0, 0, "DA40");
  FillChooser();
  Sync();
  EXPECT_EQ(2, Selected());
  // A reload empties the list; its rows come back with the choice.
  model().listClearRows(kChooser, kList);
  Sync();
  EXPECT_EQ(-1, Selected());
  FillChooser();
  Sync();
  EXPECT_EQ(1, Selected());
}

TEST_F(FrontEndWindows, TheHistoryIsNeverSelectedForThePersonAndFieldsEdit) {
  const int main = static_cast<int>(FourCC("txMN"));
  const int hist = static_cast<int>(FourCC("hist"));
  const int text = static_cast<int>(FourCC("text"));
  ASSERT_EQ(1, model().createWindow(kPluginSignature, main, "txMain.win"));
  model().listAppendRow(main, hist, 12);
  Sync();
  EXPECT_EQ(-1, model().listSelectedRow(main, hist));
  // Typing goes in at the cursor; Left and Right move it.
  auto press = [&](Action action, int arg = 0) {
    HostState state = model().snapshot();
    Apply({action, arg}, *sim_, state, view_);
  };
  for (char c : std::string("ace")) press(Action::kType, c);
  press(Action::kLeft);
  press(Action::kType, 'd');
  press(Action::kLeft);
  press(Action::kLeft);
  press(Action::kType, 'b');
  auto field = [&] {
    char buffer[64] = {};
    model().getText(main, text, buffer, sizeof buffer);
    return std::string(buffer);
  };
  EXPECT_EQ("abcde", field());
  press(Action::kBackspace);
  EXPECT_EQ("acde", field());
  for (int i = 0; i < 10; ++i) press(Action::kLeft);
  press(Action::kBackspace);  // nothing before the cursor
  EXPECT_EQ("acde", field());
  for (int i = 0; i < 10; ++i) press(Action::kRight);
  press(Action::kType, 'f');
  EXPECT_EQ("acdef", field());
  // The plug-in writes the field: the cursor at its end follows.
  model().setText(main, text, ".msg ABC ");
  press(Action::kType, 'x');
  EXPECT_EQ(".msg ABC x", field());
}

// Esc closes a dialog, never the window with menus of its own; keys do
// nothing while the terminal is too small, but quitting; a letter Latin-1
// has goes into the field as its byte, one it lacks is named.
TEST_F(FrontEndWindows, EscClosesDialogsOnlyAndKeysWaitForRoom) {
  const int main = static_cast<int>(FourCC("txMN"));
  const int text = static_cast<int>(FourCC("text"));
  ASSERT_EQ(1, model().createWindow(kPluginSignature, main, "txMain.win"));
  Sync();
  auto press = [&](Action action, int arg = 0) {
    HostState state = model().snapshot();
    Apply({action, arg}, *sim_, state, view_);
    Sync();
  };
  auto field = [&] {
    char buffer[64] = {};
    model().getText(main, text, buffer, sizeof buffer);
    return std::string(buffer);
  };
  press(Action::kEscape);
  EXPECT_TRUE(model().snapshot().windows.count(FourCC("txMN")));
  EXPECT_EQ(kMenuWindowStays, view_.status);
  ASSERT_EQ(1, model().createWindow(kPluginSignature, kChooser, "txAcft.WIN"));
  Sync();
  ASSERT_EQ(FourCC("txAC"), view_.current);
  press(Action::kEscape);
  EXPECT_FALSE(model().snapshot().windows.count(FourCC("txAC")));
  EXPECT_EQ(FourCC("txMN"), view_.current);

  view_.tooSmall = true;
  for (Action action : {Action::kType, Action::kEscape, Action::kMenu,
                        Action::kSquawkEntry, Action::kSpeedUp})
    press(action, 'x');
  EXPECT_EQ("", field());
  EXPECT_EQ(Dropdown::Kind::kNone, view_.dropdown.kind);
  EXPECT_EQ(Prompt::Kind::kNone, view_.prompt.kind);
  EXPECT_EQ(0.0, view_.flight.knots);
  EXPECT_TRUE(model().snapshot().windows.count(FourCC("txMN")));
  press(Action::kQuit);
  EXPECT_TRUE(view_.quit);
  view_.tooSmall = false;

  for (int c : {int{'c'}, int{'a'}, int{'f'}, 0xE9}) press(Action::kType, c);
  EXPECT_EQ("caf\xE9", field());
  press(Action::kUntypable, 0x20AC);
  EXPECT_EQ("caf\xE9", field());
  EXPECT_EQ("U+20AC has no Latin-1 form: not typed", view_.status);
}

// PgDn in the chooser moves its selection a page on: Enter picks what is
// seen highlighted.
TEST_F(FrontEndWindows, PagingTheChooserMovesItsSelection) {
  ASSERT_EQ(1, model().createWindow(kPluginSignature, kChooser, "txAcft.WIN"));
  model().listAddColumn(kChooser, kList, "Description", 1024);
  for (int i = 0; i < 30; ++i) {
    model().listAppendRow(kChooser, kList, 12);
    model().listSetCell(kChooser, kList, i, 0,
                        ("type " + std::to_string(i)).c_str());
  }
  Sync();
  ASSERT_EQ(0, Selected());
  // As drawn: ten lines shown.
  Control list =
      *model().snapshot().windows.at(FourCC("txAC")).find(FourCC("list"));
  PlaceListView(view_.lists[ListKey(FourCC("txAC"), FourCC("list"))],
                ListLines(list, {40}), 0, 10);
  HostState state = model().snapshot();
  Apply({Action::kPageDown}, *sim_, state, view_);
  EXPECT_EQ(9, Selected());
  state = model().snapshot();
  Apply({Action::kPageUp}, *sim_, state, view_);
  EXPECT_EQ(0, Selected());
}

ScopeTarget Target(const std::string& callsign, double east, double north) {
  ScopeTarget t;
  t.callsign = callsign;
  t.type = "C172";
  t.eastNm = east;
  t.northNm = north;
  t.altitudeFt = 3000;
  return t;
}

// What a drawn picture leaves on each cell, and which kind put it there.
using Screen = std::map<std::pair<int, int>, std::pair<char, ScopeText::Kind>>;
Screen Draw(const std::vector<ScopeText>& picture) {
  Screen screen;
  for (const ScopeText& t : picture)
    for (std::size_t i = 0; i < t.text.size(); ++i)
      screen[{t.row, t.col + static_cast<int>(i)}] = {t.text[i], t.kind};
  return screen;
}

TEST(ScopePicture, APackedScopeKeepsEveryMarkAndNoLabelOverlaps) {
  std::vector<ScopeTarget> traffic;
  int n = 0;
  for (double east : {-3.6, -1.8, 0.0, 1.8, 3.6})
    for (double north : {-3.0, -1.0, 1.0, 3.0})
      traffic.push_back(Target("PK" + std::to_string(10 + n++), east, north));
  traffic.push_back(Target("FAR1", 0, 15));       // beyond the range shown
  traffic.push_back(Target("SAME", -3.6, -3.0));  // on another's cell
  // The scope at 100x30 and at 160x50.
  for (const Rect& area : {Rect{10, 57, 15, 42}, Rect{11, 97, 35, 62}}) {
    const auto picture = ScopePicture(area, 10, 4.9, traffic);
    const Screen screen = Draw(picture);
    // Label texts never share a cell with each other or with a mark, a
    // ring label or the user's aircraft (two targets on one cell share
    // their mark).
    std::map<std::pair<int, int>, int> used;
    std::set<std::pair<int, int>> marks;
    int labels = 0;
    for (const ScopeText& t : picture) {
      if (t.kind == ScopeText::Kind::kCallsign) ++labels;
      if (t.kind == ScopeText::Kind::kMark &&
          !marks.insert({t.row, t.col}).second)
        continue;
      if (t.kind == ScopeText::Kind::kRing || t.kind == ScopeText::Kind::kGap)
        continue;
      for (std::size_t i = 0; i < t.text.size(); ++i) {
        const std::pair<int, int> cell{t.row, t.col + static_cast<int>(i)};
        EXPECT_TRUE(area.contains(cell.first, cell.second));
        EXPECT_EQ(0, used[cell]++)
            << "cell " << cell.first << "," << cell.second << " twice";
      }
    }
    EXPECT_GE(labels, 8) << area.width;
    // Every target in the area keeps its mark; the own aircraft is on top.
    for (const ScopeTarget& t : traffic) {
      int row = 0, col = 0;
      if (!ScopeCell(area, 10, t.eastNm, t.northNm, &row, &col)) continue;
      auto at = screen.find({row, col});
      ASSERT_NE(screen.end(), at) << t.callsign;
      EXPECT_EQ('*', at->second.first) << t.callsign;
    }
    int row = 0, col = 0;
    ASSERT_TRUE(ScopeCell(area, 10, 0, 0, &row, &col));
    EXPECT_EQ('+', screen.at({row, col}).first);
    EXPECT_EQ(ScopeText::Kind::kOwn, picture.back().kind);
    // A placed label is whole on the screen: its callsign, and under it
    // the type and altitude in hundreds of feet.
    for (const ScopeText& t : picture) {
      if (t.kind != ScopeText::Kind::kDetail) continue;
      EXPECT_EQ("C172 030", t.text);
      EXPECT_EQ(ScopeText::Kind::kCallsign,
                screen.at({t.row - 1, t.col}).second);
    }
  }
}

TEST(ScopePicture, TheCountIsOfTargetsWithinTheRange) {
  std::vector<ScopeTarget> traffic = {Target("A", 3, 4), Target("B", 6, 8),
                                      Target("C", 0, 10.01)};
  EXPECT_EQ(0, TargetsInRange(traffic, 4.99));
  EXPECT_EQ(1, TargetsInRange(traffic, 5));
  EXPECT_EQ(2, TargetsInRange(traffic, 10));
  EXPECT_EQ(3, TargetsInRange(traffic, 20));
  EXPECT_EQ("0 targets", TargetCount(0));
  EXPECT_EQ("1 target", TargetCount(1));
  EXPECT_EQ("2 targets", TargetCount(2));
  // A crowded label finds no room: its mark stays, the label is left out.
  const Rect tiny{0, 0, 3, 6};
  const auto picture = ScopePicture(tiny, 10, 0, {Target("LONGCALL", 3.5, 0)});
  for (const ScopeText& t : picture)
    EXPECT_NE(ScopeText::Kind::kCallsign, t.kind);
  EXPECT_EQ(
      1, std::count_if(picture.begin(), picture.end(), [](const ScopeText& t) {
        return t.kind == ScopeText::Kind::kMark;
      }));
}

TEST(NetworkLight, EstablishedConnectionsOfOwnSocketsOnly) {
  const std::string table =
      "  sl  local_address rem_address   st tx_queue rx_queue tr tm->when "
      "retrnsmt   uid  timeout inode\n"
      "   0: 0100007F:C350 AB00007F:1A99 01 00000000:00000000 00:00000000 "
      "00000000  1000        0 111 1 0000000000000000 20 4 30 10 -1\n"
      "   1: 0100007F:1A99 00000000:0000 0A 00000000:00000000 00:00000000 "
      "00000000  1000        0 222 1 0000000000000000 100 0 0 10 0\n"
      "   2: 0100007F:C351 AB00007F:1A99 01 00000000:00000000 00:00000000 "
      "00000000  1000        0 333 1 0000000000000000 20 4 30 10 -1\n"
      "   3: garbage\n"
      "   4: 0100007F:C352 ZZ00007F:1A99 01 0 0 0 0 0 444\n";
  EXPECT_EQ(std::vector<std::string>{"127.0.0.171:6809"},
            EstablishedPeers(table, {111, 222, 444}));
  EXPECT_TRUE(EstablishedPeers(table, {}).empty());
  const std::string six =
      "  sl  local_address                         remote_address"
      "                        st tx_queue rx_queue tr tm->when retrnsmt"
      "   uid  timeout inode\n"
      "   0: 0000000000000000FFFF00000100007F:C350 "
      "0000000000000000FFFF0000AB00007F:1A99 01 00000000:00000000 "
      "00:00000000 00000000  1000        0 555 1\n"
      "   1: 00000000000000000000000001000000:C350 "
      "00000000000000000000000001000000:1A99 01 00000000:00000000 "
      "00:00000000 00000000  1000        0 666 1\n";
  EXPECT_EQ((std::vector<std::string>{"127.0.0.171:6809", "[::1]:6809"}),
            EstablishedPeers(six, {555, 666}));
}

TEST(NetworkLight, SeesThisProcesssOwnConnectionComeAndGo) {
  auto has = [](const std::string& peer) {
    auto peers = OwnConnections();
    return std::find(peers.begin(), peers.end(), peer) != peers.end();
  };
  const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  const int on = 1;
  ::setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = 0;
  ASSERT_EQ(1, ::inet_pton(AF_INET, "127.0.0.172", &address.sin_addr));
  ASSERT_EQ(0, ::bind(listener, reinterpret_cast<sockaddr*>(&address),
                      sizeof address));
  ASSERT_EQ(0, ::listen(listener, 1));
  socklen_t size = sizeof address;
  ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
  const std::string peer =
      "127.0.0.172:" + std::to_string(ntohs(address.sin_port));
  EXPECT_FALSE(has(peer));  // listening is no connection
  const int client = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_EQ(0, ::connect(client, reinterpret_cast<sockaddr*>(&address),
                         sizeof address));
  const int served = ::accept(listener, nullptr, nullptr);
  ASSERT_GE(served, 0);
  EXPECT_TRUE(has(peer));
  ::close(client);
  ::close(served);
  EXPECT_FALSE(has(peer));
  ::close(listener);
}

}  // namespace
}  // namespace sim::tui
