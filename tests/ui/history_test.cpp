// The message history in the host's list 'hist': the head row, the limit of
// 200 lines, clearing, and posting from several threads at once.
#include "ui/history.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "core/host.h"
#include "sim/host_table.h"
#include "tests/support/plugin_fixture.h"

namespace talvix {
namespace {

using testing::PluginTest;

using HistoryTest = PluginTest;

const char* const kRangeItems[] = {"mp5_", "mp10", "mp20",
                                   "mp40", "mp00", "mpno"};
const char* const kRangeValues[] = {"5", "10", "20", "40", "100", "0"};

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

TEST_F(HistoryTest, LinesPostedWhileTheWindowIsClosedAreDropped) {
  openMainWindow();
  ASSERT_TRUE(host().userClose(FourCC("txMN")));
  // The plug-in's copy inside this test process posts through the same host.
  const HostServicesTable table = sim::BuildHostTable();
  host::Install(&table, sim::kReferenceNumber);
  AddHistoryLine("into the void");
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
  }
}

}  // namespace
}  // namespace talvix
