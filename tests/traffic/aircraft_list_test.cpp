// The aircraft window: the rows of "CSL_ICAO.csv", the choice and what it
// announces.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "core/fourcc.h"
#include "tests/traffic/direct_host.h"
#include "traffic/aircraft_choice.h"

namespace talvix {
namespace {

using Row = std::vector<std::string>;

class AircraftListTest : public testing::DirectHostTest {
 protected:
  void SetUp() override {
    DirectHostTest::SetUp();
    openChooser();
  }
  void openChooser() {
    ASSERT_NE(
        model_->createWindow(sim::kPluginSignature,
                             static_cast<int>(FourCC("txAC")), "txAcft.WIN"),
        0);
  }
  std::vector<Row> rows() const {
    const sim::HostState s = state();
    const sim::Control* list = find(s, "txAC", "list");
    return list ? list->rows : std::vector<Row>{};
  }
  void choose(int row) {
    model_->listSelectRow(static_cast<int>(FourCC("txAC")),
                          static_cast<int>(FourCC("list")), row);
    OnAircraftWindowEvent(FourCC("slBn"), FourCC("actn"));
  }
  bool chooserOpen() const { return state().windows.count(FourCC("txAC")); }
};

TEST_F(AircraftListTest, RowsComeFromTheFileInOrder) {
  const std::string longest =
      "D" + std::string(1015, 'x') + ",M,~C,J";  // exactly 1023
  const std::string tooLong = "E" + std::string(1016, 'x') + ",M,~C,J";
  writeFile("CSL_ICAO.csv",
            "A,B,~Z,j\n"
            "A,B,Z,t\r\n"
            "\n"
            "short,line\n"
            "\r\n" +
                std::string(3000, 'y') + ",M,~TOO,J\n" + tooLong + "\n" +
                longest +
                "\r\n"
                "four,,,\n"
                "Cessna 172 Skyhawk,C172,~C172,P,extra,fields");
  LoadAircraftList();
  const sim::HostState s = state();
  const sim::Control* list = find(s, "txAC", "list");
  ASSERT_NE(list, nullptr);
  ASSERT_EQ(list->columns.size(), 4u);
  EXPECT_EQ(list->columns[0].title, "Description");
  EXPECT_EQ(list->columns[0].width, 1024);
  EXPECT_EQ(list->columns[1].title, "Csl");
  EXPECT_EQ(list->columns[1].width, 4);
  EXPECT_EQ(list->columns[2].title, "model");
  EXPECT_EQ(list->columns[3].title, "engine");
  EXPECT_EQ(list->columns[3].width, 1);
  EXPECT_EQ(rows(), (std::vector<Row>{
                        {"A", "Z", "B", "j"},
                        {"A", "", "B", "t"},
                        {longest.substr(0, 1023 - 7), "C", "M", "J"},
                        {"four", "", "", ""},
                        {"Cessna 172 Skyhawk", "C172", "C172", "P"},
                    }));
}

TEST_F(AircraftListTest, ReloadingReplacesInsteadOfDuplicating) {
  writeFile("CSL_ICAO.csv", "A,B,~Z,j\nC,D,~E,P\n");
  LoadAircraftList();
  OnAircraftWindowEvent(FourCC("rlod"), FourCC("chek"));
  OnAircraftWindowEvent(FourCC("rlod"), FourCC("uchk"));
  EXPECT_EQ(rows().size(), 2u);
  const sim::HostState s = state();
  EXPECT_EQ(find(s, "txAC", "list")->columns.size(), 4u);
  // Other events change nothing.
  writeFile("CSL_ICAO.csv", "X,Y,~Z,J\n");
  OnAircraftWindowEvent(FourCC("cnBn"), FourCC("actn"));
  OnAircraftWindowEvent(FourCC("slBn"), FourCC("slct"));
  EXPECT_EQ(rows().size(), 2u);
  // Each reading closes the file again.
  auto openFiles = [] {
    using std::filesystem::directory_iterator;
    return std::distance(directory_iterator("/proc/self/fd"),
                         directory_iterator());
  };
  const auto before = openFiles();
  for (int i = 0; i < 5; ++i) LoadAircraftList();
  EXPECT_EQ(openFiles(), before);
}

TEST_F(AircraftListTest, AMissingFileLeavesOnlyTheColumns) {
  removeFile("CSL_ICAO.csv");
  LoadAircraftList();
  EXPECT_TRUE(rows().empty());
  const sim::HostState s = state();
  EXPECT_EQ(find(s, "txAC", "list")->columns.size(), 4u);
}

TEST_F(AircraftListTest, ChoosingARowTakesItsCellsAndClosesTheWindow) {
  writeFile("CSL_ICAO.csv",
            "A,B,~Z,j\nATR 72,AT72,~AT72,T\nPiper,P28A,~P28A,p\n");
  LoadAircraftList();
  choose(0);
  EXPECT_STREQ(ChosenDescription(), "A");
  EXPECT_STREQ(ChosenCsl(), "Z");
  EXPECT_STREQ(ChosenModel(), "B");
  EXPECT_STREQ(Chosen().engine, "J");
  EXPECT_STREQ(EngineCode(), "1");
  EXPECT_FALSE(chooserOpen());
  for (auto [row, digit] : {std::pair{1, "3"}, {2, "0"}}) {
    openChooser();
    LoadAircraftList();
    choose(row);
    EXPECT_STREQ(EngineCode(), digit);
  }
  EXPECT_STREQ(ChosenCsl(), "P28A");
}

TEST_F(AircraftListTest, UnknownOrMissingEngineLettersCountAsJet) {
  writeFile("CSL_ICAO.csv", "A,B,~X1,X\nA,B,~X2,\nA,B,Z,t\n");
  for (int row : {0, 1}) {
    openChooser();
    LoadAircraftList();
    choose(row);
    EXPECT_STREQ(EngineCode(), "1");
    EXPECT_STREQ(ChosenCsl(), row == 0 ? "X1" : "X2");
  }
  openChooser();
  LoadAircraftList();
  choose(2);
  EXPECT_STREQ(ChosenCsl(), "");  // the single Z was dropped
  EXPECT_STREQ(EngineCode(), "3");
}

TEST_F(AircraftListTest, NoSelectionChoosesNothing) {
  writeFile("CSL_ICAO.csv", "A,B,~Z,j\n");
  LoadAircraftList();
  choose(0);
  openChooser();
  LoadAircraftList();
  choose(-1);
  EXPECT_TRUE(chooserOpen());
  EXPECT_STREQ(ChosenCsl(), "Z");
}

TEST_F(AircraftListTest, CellsAreCutToTheFieldSizes) {
  const std::string description(1500, 'd');
  writeFile("CSL_ICAO.csv", "Long,MODELNAME12,~CSLCODE1234,jets\n");
  LoadAircraftList();
  // A description longer than the file allows, straight into the cell.
  model_->listSetCell(static_cast<int>(FourCC("txAC")),
                      static_cast<int>(FourCC("list")), 0, 0,
                      description.c_str());
  choose(0);
  EXPECT_EQ(std::string(ChosenDescription()), description.substr(0, 1023));
  EXPECT_STREQ(ChosenCsl(), "CSLCODE12");
  EXPECT_STREQ(ChosenModel(), "MODELNAME");
  EXPECT_STREQ(Chosen().engine, "JET");
}

TEST_F(AircraftListTest, TheShippedListHasAModelFileForEveryCode) {
  LoadAircraftList();  // the data folder's own file
  const std::vector<Row> all = rows();
  EXPECT_GE(all.size(), 40u);
  std::set<std::string> engines;
  for (const Row& row : all) {
    ASSERT_EQ(row.size(), 4u);
    EXPECT_FALSE(row[1].empty()) << row[0];
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(root_) / "tvox" /
                                        (row[1] + ".tvx")))
        << row[1];
    engines.insert(row[3]);
  }
  EXPECT_EQ(engines, (std::set<std::string>{"J", "P", "T"}));
  for (const char* file : {"C172", "def_piston_acft", "def_jet_acft",
                           "def_plannor_acft", "def_turbin_acft"}) {
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(root_) / "tvox" /
                                        (std::string(file) + ".tvx")))
        << file;
  }
}

}  // namespace
}  // namespace talvix
