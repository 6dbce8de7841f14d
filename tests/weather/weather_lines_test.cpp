// Weather requests and the server's weather lines, from a peer on loopback
// through the real plug-in in the stand-in host.
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "tests/protocol/session_plugin_fixture.h"

namespace talvix {
namespace {

using testing::LoopbackPeer;
using testing::SessionPluginTest;

constexpr char kMetarUpdated[] = "======> Local Metar updated";
constexpr char kPressureUpdated[] =
    "======> Local Temperature/Pressure Updated";
constexpr char kCloudsUpdated[] = "======> Local Cloud layers Updated";
constexpr char kWindsUpdated[] = "======> Local Winds Updated";

class WeatherLinesTest : public SessionPluginTest {
 protected:
  void SetUp() override {
    SessionPluginTest::SetUp();
    if (HasFatalFailure()) return;
    // The log lives under the simulator's working directory.
    previousDirectory_ = std::filesystem::current_path();
    std::filesystem::current_path(root_);
    ASSERT_TRUE(host().runCommand("aircraft 37.62 -122.37 3000"));
  }
  void TearDown() override {
    if (!previousDirectory_.empty())
      std::filesystem::current_path(previousDirectory_);
    SessionPluginTest::TearDown();
  }

  void autoWeatherOn() {
    host().model().setButtonState(static_cast<int>(FourCC("txMN")),
                                  static_cast<int>(FourCC("idnt")), 1);
    event("txMN", "idnt", "actn");
  }
  std::filesystem::path logFile() const {
    return std::filesystem::path(root_) / "METAR" / "TXMetarTemp.txt";
  }
  void makeMetarFolder() {
    std::filesystem::create_directories(std::filesystem::path(root_) / "METAR");
  }
  std::string readLog() const {
    std::ifstream in(logFile(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  // Sends one line and idles until the history holds posted count times.
  void expectPosted(LoopbackPeer& peer, const std::string& line,
                    const std::string& posted, int count = 1) {
    ASSERT_TRUE(peer.send(line + "\r\n"));
    EXPECT_TRUE(pump([&] { return historyCount(posted) == count; }))
        << posted << " after " << line;
  }
  // The last n history lines.
  std::vector<std::string> lastLines(std::size_t n) const {
    const std::vector<std::string> rows = history();
    return std::vector<std::string>(rows.end() - std::min(n, rows.size()),
                                    rows.end());
  }
  WeatherRecord weather() const { return state().weather; }

  std::filesystem::path previousDirectory_;
};

std::string UtcMinute(std::time_t when) {
  std::tm parts{};
  gmtime_r(&when, &parts);
  char text[32];
  std::strftime(text, sizeof text, "%Y/%m/%d %H:%M", &parts);
  return text;
}

TEST_F(WeatherLinesTest, TheNearestAirportsMetarIsAskedForLoggedAndApplied) {
  makeMetarFolder();
  autoWeatherOn();
  LoopbackPeer peer("127.0.0.181");
  connect(peer, "127.0.0.181");
  // Queued by the first idle calls, before any wait.
  for (int i = 0; i < 3; ++i) host().idleOnce(kFrameSeconds);
  EXPECT_EQ(peer.readLine(), "$AXABC:SERVER:METAR:KSFO");

  const std::string report =
      "KSFO 081253Z 24010G25KT 10SM FEW030 BKN100 12/08 A2992";
  const std::time_t before = std::time(nullptr);
  expectPosted(peer, "$ARserver:ABC:METAR:" + report + " RMK AO2",
               kMetarUpdated);
  const std::time_t after = std::time(nullptr);
  EXPECT_EQ(lastLines(3), (std::vector<std::string>{
                              "Raw METAR : " + report + " RMK AO2",
                              kMetarUpdated, "Filter METAR : " + report}));
  const std::string log = readLog();
  EXPECT_TRUE(log == UtcMinute(before) + "\r\n" + report + "\r\n\r\n" ||
              log == UtcMinute(after) + "\r\n" + report + "\r\n\r\n")
      << log;
  EXPECT_EQ(state().metarFiles, std::vector<std::string>{
                                    std::filesystem::canonical(root_).string() +
                                    "/METAR/TXMetarTemp.txt"});
  WeatherRecord w = weather();
  EXPECT_EQ(w.windDirection, 240);
  EXPECT_EQ(w.windSpeed, 10);
  EXPECT_EQ(w.gustSpeed, 25);
  EXPECT_DOUBLE_EQ(w.altimeter, 29.92);
  EXPECT_EQ(w.cloud[0].base, 3000);      // the host's own reader, on the file
  EXPECT_GE(w.cloud[0].thickness, 700);  // then the decoder
  EXPECT_LE(w.cloud[0].thickness, 3000);
  EXPECT_EQ(sounds("ATTN.WAV"), 1);

  // Another station's clouds stay; the log holds only the last report.
  expectPosted(peer,
               "$ARserver:ABC:METAR:EDDF 081250Z 31005KT 9999 FEW030 Q1020",
               kMetarUpdated, 2);
  EXPECT_EQ(readLog().substr(16),
            "\r\nEDDF 081250Z 31005KT 9999 FEW030 Q1020\r\n\r\n");
  EXPECT_EQ(weather().windDirection, 310);
  EXPECT_DOUBLE_EQ(weather().altimeter, 30.12);
}

TEST_F(WeatherLinesTest, AnswersForOthersOtherTypesMissingFolderShortReports) {
  LoopbackPeer peer("127.0.0.183");
  connect(peer, "127.0.0.183");
  const std::string report = "KSFO 081253Z 24010KT 10SM FEW030 A2992";

  // Someone else's answer: nothing at all; then a marker line to wait on.
  expectPosted(peer,
               "$ARserver:XYZ:METAR:" + report + "\r\n#TDs:XYZ:::::::::2992",
               kPressureUpdated);
  EXPECT_EQ(lastLines(1), std::vector<std::string>{kPressureUpdated});
  EXPECT_EQ(sounds("ATTN.WAV"), 0);

  // Another type only plays the sound.
  ASSERT_TRUE(peer.send("$ARserver:ABC:TAF:KSFO 0812/0912 24010KT\r\n"));
  EXPECT_TRUE(pump([&] { return sounds("ATTN.WAV") == 1; }));
  EXPECT_EQ(lastLines(1), std::vector<std::string>{kPressureUpdated});

  // Without the METAR folder nothing is written and it is not created.
  host().model().advanceTime(1.5);  // the first sound has ended
  const WeatherRecord untouched = weather();
  expectPosted(peer, "$ARserver:ABC:METAR:" + report, "Raw METAR : " + report);
  EXPECT_TRUE(pump([&] { return sounds("ATTN.WAV") == 2; }));
  EXPECT_FALSE(std::filesystem::exists(logFile().parent_path()));
  EXPECT_TRUE(state().metarFiles.empty());
  EXPECT_EQ(weather().windDirection, untouched.windDirection);
  EXPECT_EQ(historyCount(kMetarUpdated), 0);

  // A log that opens but takes no bytes (a full disk): nothing is loaded.
  makeMetarFolder();
  std::filesystem::create_symlink("/dev/full", logFile());
  host().model().advanceTime(1.5);
  expectPosted(peer, "$ARserver:ABC:METAR:" + report, "Raw METAR : " + report,
               2);
  EXPECT_TRUE(pump([&] { return sounds("ATTN.WAV") == 3; }));
  EXPECT_TRUE(state().metarFiles.empty());
  EXPECT_EQ(weather().windDirection, untouched.windDirection);
  EXPECT_EQ(historyCount(kMetarUpdated), 0);
  std::filesystem::remove(logFile());

  // Too short for the decoder: loaded by the host, then the guard line.
  makeMetarFolder();
  host().model().advanceTime(1.5);
  expectPosted(peer, "$ARserver:ABC:METAR:KSFO 081253Z 24010KT 10SM",
               "*****> handleAR - Talvix: Exception caught. Notify author.");
  EXPECT_EQ(state().metarFiles.size(), 1u);
  EXPECT_EQ(historyCount(kMetarUpdated), 0);
  pumpFor(100);
  EXPECT_EQ(sounds("ATTN.WAV"), 3);
}

TEST_F(WeatherLinesTest, PressureCloudAndWindLines) {
  LoopbackPeer peer("127.0.0.182");
  connect(peer, "127.0.0.182");
  host().model().modify([](sim::HostState& s) {
    s.weather.cloud[0] = {0, 1000, 2, 100};
    s.weather.cloud[1] = {1, 2000, 5, 200};
    s.weather.cloud[2] = {1, 3000, 5, 300};
    for (WindBand& band : s.winds.band) band = {1, 1, {7, 7, 7, 7, 7, 7, 7, 7}};
  });

  expectPosted(peer, "#TDserver:ABC:1:2:3:4:5:6:7:8:3001", kPressureUpdated);
  EXPECT_DOUBLE_EQ(weather().altimeter, 30.01);
  expectPosted(peer, "#TDserver:XYZ:9:9:9:9:9:9:9:9:2992", kPressureUpdated, 2);
  EXPECT_DOUBLE_EQ(weather().altimeter, 29.92);
  expectPosted(peer, "#TDserver:ABC:1:2:3001",
               "****> handleTD - Talvix: Exception caught. Notify author.");
  EXPECT_DOUBLE_EQ(weather().altimeter, 29.92);

  // Group 1 without a top: layer 1 absent. Coverage 7 keeps the host's.
  expectPosted(peer, "#CDserver:ABC:-1:2000:3:0:0:9000:4000:7:0:0:-1:0:0:0:0",
               kCloudsUpdated);
  WeatherRecord w = weather();
  EXPECT_EQ(w.cloud[0].present, 1);
  EXPECT_EQ(w.cloud[0].base, 1000);
  EXPECT_EQ(w.cloud[1].present, 0);
  EXPECT_EQ(w.cloud[1].base, 2000);
  EXPECT_EQ(w.cloud[2].present, 1);
  EXPECT_EQ(w.cloud[2].base, 4000);
  EXPECT_EQ(w.cloud[2].thickness, 5000);
  EXPECT_EQ(w.cloud[2].coverage, 5);
  EXPECT_EQ(w.stormFlag, 0);

  // The coverage map, with a storm.
  const struct {
    int network, simulator;
  } kCoverage[] = {{1, 2}, {2, 2}, {3, 3}, {4, 3},  {5, 4}, {6, 4},
                   {8, 6}, {0, 6}, {9, 6}, {-3, 6}, {7, 6}};
  // The first line's storm field is 0: only -1 means no storm.
  int updates = 1;
  for (const auto& c : kCoverage) {
    const char* storm = updates == 1 ? "0" : "1";
    expectPosted(peer,
                 "#CDserver:ABC:5000:2000:" + std::to_string(c.network) +
                     ":0:0:-1:0:0:0:0:" + storm + ":0:0:0:0",
                 kCloudsUpdated, ++updates);
    EXPECT_EQ(weather().cloud[1].coverage, c.simulator) << c.network;
    EXPECT_EQ(weather().stormFlag, 8192) << c.network;
  }
  w = weather();
  EXPECT_EQ(w.cloud[1].present, 1);
  EXPECT_EQ(w.cloud[1].thickness, 3000);
  EXPECT_EQ(w.cloud[2].present, 0);
  EXPECT_EQ(w.stormFlag, 8192);
  EXPECT_EQ(w.stormValue, 8);
  expectPosted(peer, "#CDserver:ABC:2147483647:-5:1:0:0:-1:0:0:0:0:-1:0:0:0:0",
               kCloudsUpdated, ++updates);
  EXPECT_EQ(weather().cloud[1].thickness, 2147483647);
  expectPosted(peer, "#CDserver:ABC:5000:2000:1:0:0:-1:0:0:0:0:1:0:0:0",
               "****> handleCD - Talvix: Exception caught. Notify author.");

  // Each band takes the groups that cover it, later groups last.
  auto bands = [&] {
    std::vector<std::pair<int, int>> all;
    for (const WindBand& b : state().winds.band)
      all.emplace_back(b.direction, b.speed);
    return all;
  };
  using Bands = std::vector<std::pair<int, int>>;
  expectPosted(peer,
               "#WDserver:ABC:3000:9000:270:25:0:0:18000:12000:300:40:0:0:0:0:"
               "0:0:0:0:0:0:0:0:0:0",
               kWindsUpdated);
  Bands expected(kWindBands, {1, 1});
  expected[0] = expected[1] = {270, 25};
  expected[3] = expected[4] = {300, 40};
  EXPECT_EQ(bands(), expected);

  expectPosted(peer,
               "#WDserver:XYZ:60000:45000:90:50:0:0:12000:3000:180:10:0:0:"
               "6000:6000:200:15:0:0:60000:60000:45:5:0:0",
               kWindsUpdated, 2);
  expected[0] = expected[2] = {180, 10};
  expected[1] = {200, 15};
  expected[13] = {45, 5};
  EXPECT_EQ(bands(), expected);
  EXPECT_EQ(state().winds.band[5].hostOwned[0], 7);
  // The top band starts at 42000 ft: a single altitude there is its own, a
  // group that ends there belongs to the band below only.
  expectPosted(peer,
               "#WDserver:XYZ:42000:42000:110:30:0:0:39000:42000:100:20:0:0:"
               "0:0:0:0:0:0:0:0:0:0:0:0",
               kWindsUpdated, 3);
  expected[12] = {100, 20};
  expected[13] = {110, 30};
  EXPECT_EQ(bands(), expected);

  expectPosted(peer, "#WDserver:ABC:3000:9000:1:2",
               "****> handleWD - Talvix: Exception caught. Notify author.");
  EXPECT_EQ(bands(), expected);
}

TEST_F(WeatherLinesTest, NoRequestWithAutomaticWeatherOff) {
  LoopbackPeer peer("127.0.0.184");
  connect(peer, "127.0.0.184");
  pumpFor(300);
  EXPECT_FALSE(peer.readLine(200).has_value());
}

TEST_F(WeatherLinesTest, AnEmptyAirportIdentifierLeavesTheLastFieldEmpty) {
  host().model().addAirport({"", 37.62, -122.37, 0.0f});
  autoWeatherOn();
  LoopbackPeer peer("127.0.0.185");
  connect(peer, "127.0.0.185");
  EXPECT_EQ(answer(peer), "$AXABC:SERVER:METAR:");
}

}  // namespace
}  // namespace talvix
