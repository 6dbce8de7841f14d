// The message history in the host's list 'hist': the head row, the limit of
// 200 lines, clearing, and posting from several threads at once.
#include "ui/history.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/host.h"
#include "core/host_services.h"
#include "sim/host_table.h"
#include "tests/support/plugin_fixture.h"
#include "ui/main_window.h"

namespace talvix {
namespace {

using testing::PluginTest;

const char* const kRangeItems[] = {"mp5_", "mp10", "mp20",
                                   "mp40", "mp00", "mpno"};
const char* const kRangeValues[] = {"5", "10", "20", "40", "100", "0"};

class HistoryTest : public PluginTest {
 protected:
  // A range choice as the host reports it. The plug-in's callback is called
  // directly, so it posts also while the window is closed, with no list.
  void rangeEvent(int item) {
    auto fn =
        reinterpret_cast<WindowEventCallback>(host().callback(kCallbackWindow));
    ASSERT_NE(fn, nullptr);
    fn(sim::kPluginSignature, static_cast<int>(FourCC("txMN")),
       static_cast<int>(FourCC("mp__")), static_cast<int>(FourCC("slct")),
       item);
  }
  void postWhileClosed(const char (&rangeItem)[5]) {
    ASSERT_FALSE(isOpen("txMN"));
    rangeEvent(static_cast<int>(FourCC(rangeItem)));
  }
  // Posts the i-th line of a sequence without a short period, so order
  // shows, and returns the line.
  std::string postRange(int i) {
    const int k = (i * 7 + i / 6) % 6;
    rangeEvent(static_cast<int>(FourCCFromText(kRangeItems[k])));
    return std::string("Changed MP distance to: ") + kRangeValues[k];
  }
};

TEST_F(HistoryTest, OpensWithOneEmptyHeadRowUnderOneColumn) {
  openMainWindow();
  auto hist = control("txMN", "hist");
  ASSERT_TRUE(hist);
  ASSERT_EQ(hist->columns.size(), 1u);
  EXPECT_EQ(hist->columns[0].title, "History");
  EXPECT_EQ(hist->columns[0].width, 1024);
  EXPECT_EQ(history(), std::vector<std::string>{""});
}

TEST_F(HistoryTest, KeepsTheLast200LinesBelowTheHeadRow) {
  openMainWindow();
  std::vector<std::string> posted;
  for (int i = 0; i < 250; ++i) {
    const int k = (i * 7 + i / 6) % 6;  // no short period, so order shows
    event("txMN", "mp__", "slct",
          static_cast<int>(FourCCFromText(kRangeItems[k])));
    posted.push_back(std::string("Changed MP distance to: ") + kRangeValues[k]);
  }
  const std::vector<std::string> rows = history();
  ASSERT_EQ(rows.size(), 201u);
  EXPECT_EQ(rows[0], "");
  const std::vector<std::string> last200(posted.begin() + 50, posted.end());
  EXPECT_EQ(std::vector<std::string>(rows.begin() + 1, rows.end()), last200);
  // The newest line is brought into view.
  EXPECT_EQ(control("txMN", "hist")->scrollRow, 200);
}

TEST_F(HistoryTest, DisconnectLeavesOnlyItsLineInRowOne) {
  openMainWindow();
  pick("txMN", "mp__", "mp10");
  pick("txMN", "mp__", "mp20");
  pick("txMN", "cnmn", "disc");
  EXPECT_EQ(history(), (std::vector<std::string>{"", "Disconnected."}));
}

// The plug-in keeps the lines: a main window created again shows them,
// those posted while it was closed among them.
TEST_F(HistoryTest, LinesPostedWhileTheWindowIsClosedShowInTheNextWindow) {
  openMainWindow();
  pick("txMN", "mp__", "mp10");
  ASSERT_TRUE(host().userClose(FourCC("txMN")));
  postWhileClosed("mp20");
  openMainWindow();
  EXPECT_EQ(history(),
            (std::vector<std::string>{"", "Changed MP distance to: 10",
                                      "Changed MP distance to: 20"}));
  EXPECT_EQ(control("txMN", "hist")->scrollRow, 2);  // the newest in view
  EXPECT_EQ(control("txMN", "hist")->redraws, 1);    // drawn once, filled
}

// Exactly 200 lines are kept: the 201st drops the oldest one alone,
// whether it is posted into the window or while it is closed.
TEST_F(HistoryTest, TheLimitHoldsAcrossANewWindow) {
  openMainWindow();
  std::vector<std::string> posted;
  for (int i = 0; i < 200; ++i) posted.push_back(postRange(i));
  const auto shownLines = [&](std::size_t from) {
    std::vector<std::string> rows{""};
    rows.insert(rows.end(), posted.begin() + static_cast<long>(from),
                posted.end());
    return rows;
  };
  ASSERT_EQ(history(), shownLines(0));
  ASSERT_TRUE(host().userClose(FourCC("txMN")));
  openMainWindow();
  EXPECT_EQ(history(), shownLines(0));

  ASSERT_TRUE(host().userClose(FourCC("txMN")));
  posted.push_back(postRange(200));
  openMainWindow();
  EXPECT_EQ(history(), shownLines(1));
  EXPECT_EQ(control("txMN", "hist")->scrollRow, 200);

  posted.push_back(postRange(201));
  EXPECT_EQ(history(), shownLines(2));
  ASSERT_TRUE(host().userClose(FourCC("txMN")));
  openMainWindow();
  EXPECT_EQ(history(), shownLines(2));
}

// Disconnect and Exit empty what is kept, not only the window.
TEST_F(HistoryTest, DisconnectAndExitEmptyTheKeptLines) {
  openMainWindow();
  pick("txMN", "mp__", "mp10");
  pick("txMN", "cnmn", "disc");
  ASSERT_TRUE(host().userClose(FourCC("txMN")));
  openMainWindow();
  EXPECT_EQ(history(), (std::vector<std::string>{"", "Disconnected."}));

  pick("txMN", "mp__", "mp20");
  ASSERT_TRUE(host().userClose(FourCC("txMN")));
  postWhileClosed("mp40");
  openMainWindow();
  pick("txMN", "cnmn", "exit");
  openMainWindow();
  EXPECT_EQ(history(), std::vector<std::string>{""});
}

// The receiver thread posts its guard line while the simulator's thread
// posts its own: every line must land whole, in a row of its own.
TEST_F(HistoryTest, PostsFromSeveralThreadsKeepEveryRowWhole) {
  openMainWindow();
  const HostServicesTable table = sim::BuildHostTable();
  host::Install(&table, sim::kReferenceNumber);

  constexpr int kThreads = 4;
  constexpr int kLinesEach = 60;  // 240 lines: the limit is reached too
  for (int round = 0; round < 5; ++round) {
    ClearHistory();
    std::vector<std::thread> posters;
    for (int t = 0; t < kThreads; ++t) {
      posters.emplace_back([t] {
        for (int i = 0; i < kLinesEach; ++i) {
          AddHistoryLine(
              ("thread " + std::to_string(t) + " line " + std::to_string(i))
                  .c_str());
        }
      });
    }
    for (auto& poster : posters) poster.join();

    const std::vector<std::string> rows = history();
    ASSERT_EQ(rows.size(), 201u) << "round " << round;
    EXPECT_EQ(rows[0], "");
    std::set<std::string> distinct;
    std::vector<int> lastLine(kThreads, -1);
    for (std::size_t r = 1; r < rows.size(); ++r) {
      ASSERT_FALSE(rows[r].empty()) << "row " << r << " was left empty";
      EXPECT_TRUE(distinct.insert(rows[r]).second) << rows[r] << " twice";
      int t = -1, i = -1;
      ASSERT_EQ(std::sscanf(rows[r].c_str(), "thread %d line %d", &t, &i), 2);
      ASSERT_TRUE(t >= 0 && t < kThreads);
      EXPECT_GT(i, lastLine[t]) << "thread " << t << " out of order";
      lastLine[t] = i;
    }
    for (int t = 0; t < kThreads; ++t) EXPECT_EQ(lastLine[t], kLinesEach - 1);
    // What is kept is what was shown.
    ShowHistory();
    EXPECT_EQ(history(), rows) << "round " << round;
  }
}

// The receiver may post while the simulator's thread creates the main
// window again and fills it: every line lands once, in order, and the host
// is never asked to write into a row that the new list does not have.
TEST_F(HistoryTest, PostsWhileTheWindowIsCreatedAgainLandOnceInOrder) {
  openMainWindow();
  const HostServicesTable table = sim::BuildHostTable();
  host::Install(&table, sim::kReferenceNumber);
  ClearHistory();

  constexpr int kWindows = 150;
  std::atomic<int> windows{0};
  std::atomic<int> posted{0};
  std::thread poster([&] {
    // Posts go on from before the first new window until after the last.
    for (int after = 0; after < 50; ++posted) {
      AddHistoryLine(("line " + std::to_string(posted.load())).c_str());
      if (windows.load() >= kWindows) ++after;
    }
  });
  while (posted.load() == 0) std::this_thread::yield();
  for (int i = 0; i < kWindows; ++i) {
    host().model().closeWindow(static_cast<int>(FourCC("txMN")));
    OpenMainWindow();  // this process's copy: creates and fills the window
    windows.store(i + 1);
  }
  poster.join();

  std::vector<std::string> expected{""};
  for (int i = std::max(0, posted.load() - 200); i < posted.load(); ++i)
    expected.push_back("line " + std::to_string(i));
  EXPECT_EQ(history(), expected);
}

}  // namespace
}  // namespace talvix
