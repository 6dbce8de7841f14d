#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "server/metar_store.h"
#include "server/metar_weather.h"
#include "server_harness.h"

namespace netserver::testing {
namespace {

class MetarFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    base = std::filesystem::temp_directory_path() /
           ("netserver-metar-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    folder = base / "reports";
    std::filesystem::create_directories(folder);
    write("KSFO.txt",
          "KSFO 081756Z 29012KT 10SM FEW008 16/11 A2992\r\nsecond line\n");
    write("EMPTY.txt", "");
    write(base / "SECRET.txt", "not a report\n");
  }
  void TearDown() override { std::filesystem::remove_all(base); }
  void write(const std::filesystem::path& name, const std::string& text) {
    std::ofstream(name.is_absolute() ? name : folder / name, std::ios::binary)
        << text;
  }
  std::filesystem::path base;
  std::filesystem::path folder;
};

TEST_F(MetarFolder, StoreReadsTheFirstLineOfPlainStationFiles) {
  const MetarStore store(folder);
  EXPECT_EQ(store.report("KSFO"),
            "KSFO 081756Z 29012KT 10SM FEW008 16/11 A2992");
  EXPECT_EQ(store.report("ksfo"),
            "KSFO 081756Z 29012KT 10SM FEW008 16/11 A2992");
  EXPECT_FALSE(store.report("KLAX"));
  EXPECT_FALSE(store.report("EMPTY"));
  EXPECT_FALSE(store.report(""));
  EXPECT_FALSE(store.report("../SECRET"));
  EXPECT_FALSE(store.report("/etc/passwd"));
  EXPECT_FALSE(MetarStore().report("KSFO"));
}

TEST_F(MetarFolder, RequestIsAnsweredFromTheFolder) {
  ServerOptions options;
  options.metarFolder = folder;
  InProcessServer server("127.0.0.56", options);
  TestClient client(server.address(), server.port());
  client.login("ABC");
  client.sendLine("$AXABC:SERVER:METAR:KSFO");
  EXPECT_EQ(client.readLine(),
            "$ARserver:ABC:METAR:KSFO 081756Z 29012KT 10SM FEW008 16/11 A2992");
  client.sendLine("$AXABC:SERVER:METAR:KLAX");
  EXPECT_EQ(client.readLine(), "$ERserver:ABC:9:KLAX");
  client.sendLine("$AXABC:SERVER:METAR:../SECRET");
  EXPECT_EQ(client.readLine(), "$ERserver:ABC:9:../SECRET");
  client.sendLine("$AXABC:SERVER:METAR:");
  EXPECT_EQ(client.readLine(), "$ERserver:ABC:9:");
}

// What a report turns into: "#TD" temperature, dew point, six unused and the
// altimeter in hundredths of an inch; "#CD" the two lowest layers (top,
// base, coverage in eighths, two unused), the storm flag and four unused;
// "#WD" four groups of low and high altitude, direction, speed, two unused.
TEST(MetarWeather, ReportsTurnIntoTheirWeatherLines) {
  struct Row {
    const char* report;
    std::vector<std::string> lines;
  };
  const Row rows[] = {
      {"KSFO 081156Z 28012G20KT 10SM FEW015 SCT200 14/09 A3012 RMK AO2 SLP201",
       {"#TDSERVER:ABC:14:9:0:0:0:0:0:0:3012",
        "#CDSERVER:ABC:3500:1500:2:0:0:22000:20000:4:0:0:-1:0:0:0:0",
        "#WDSERVER:ABC:0:6000:280:12:0:0:0:6000:280:12:0:0:0:6000:280:12:0:0:"
        "0:6000:280:12:0:0"}},
      // Below zero, hectopascals, a towering cloud and more than two layers.
      {"EFHK 081150Z 18005MPS 9999 -SHSN FEW008 BKN025CB OVC040 M02/M05 Q0998",
       {"#TDSERVER:ABC:-2:-5:0:0:0:0:0:0:2947",
        "#CDSERVER:ABC:2800:800:2:0:0:10500:2500:6:0:0:1:0:0:0:0",
        "#WDSERVER:ABC:0:6000:180:10:0:0:0:6000:180:10:0:0:0:6000:180:10:0:0:"
        "0:6000:180:10:0:0"}},
      // Clear sky, calm, a thunderstorm nearby; kilometres an hour.
      {"LIRF 081150Z 00000KT CAVOK VCTS 20/12 Q1013",
       {"#TDSERVER:ABC:20:12:0:0:0:0:0:0:2991",
        "#CDSERVER:ABC:-1:0:0:0:0:-1:0:0:0:0:1:0:0:0:0",
        "#WDSERVER:ABC:0:6000:0:0:0:0:0:6000:0:0:0:0:0:6000:0:0:0:0:0:6000:0:"
        "0:0:0"}},
      {"UUEE 081200Z VRB36KMH VV002 M01/ Q1020",
       {"#TDSERVER:ABC:-1:-1:0:0:0:0:0:0:3012",
        "#CDSERVER:ABC:2200:200:8:0:0:-1:0:0:0:0:-1:0:0:0:0",
        "#WDSERVER:ABC:0:6000:0:19:0:0:0:6000:0:19:0:0:0:6000:0:19:0:0:0:6000:"
        "0:19:0:0"}},
      // A part the report lacks has no line; what follows RMK is not read.
      {"KXYZ 081156Z 10SM 14/09 RMK A2992 FEW010 27010KT", {}},
      {"KXYZ 081156Z 27010KT",
       {"#WDSERVER:ABC:0:6000:270:10:0:0:0:6000:270:"
        "10:0:0:0:6000:270:10:0:0:0:6000:270:10:0:0"}},
      {"", {}},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(metarWeatherLines(row.report, "ABC"), row.lines) << row.report;
  }
}

TEST_F(MetarFolder, WeatherRequestIsAnsweredWithTheProfileOfTheReport) {
  write("EGLL.txt", "EGLL 081150Z 24015KT 9999 BKN012 08/06 Q1001\n");
  write("NOWX.txt", "NOWX 081150Z 9999\n");
  ServerOptions options;
  options.metarFolder = folder;
  InProcessServer server("127.0.0.76", options);
  TestClient client(server.address(), server.port());
  client.login("ABC");
  // The station as typed, whatever its case.
  client.sendLine("#WXABC:SERVER:egll");
  EXPECT_EQ(client.readLine(), "#TDSERVER:ABC:8:6:0:0:0:0:0:0:2956");
  EXPECT_EQ(client.readLine(),
            "#CDSERVER:ABC:3200:1200:6:0:0:-1:0:0:0:0:-1:0:0:0:0");
  EXPECT_EQ(client.readLine(),
            "#WDSERVER:ABC:0:6000:240:15:0:0:0:6000:240:15:0:0:0:6000:240:15:"
            "0:0:0:6000:240:15:0:0");
  client.sendLine("#WXABC:SERVER:KLAX");
  EXPECT_EQ(client.readLine(), "$ERserver:ABC:9:KLAX");
  client.sendLine("#WXABC:SERVER:NOWX");
  EXPECT_EQ(client.readLine(), "$ERserver:ABC:9:NOWX");
  client.sendLine("#WXABC:SERVER:");
  EXPECT_EQ(client.readLine(), "$ERserver:ABC:9:");
  // Addressed to anyone else, the request is not the server's.
  client.sendLine("#WXABC:DEF:KSFO");
  client.sendLine("$PIABC:SERVER:x");
  EXPECT_EQ(client.readLine(), "$POserver:ABC:x");
}

TEST(Metar, WithoutAFolderEveryStationIsUnavailable) {
  InProcessServer server("127.0.0.57");
  TestClient other(server.address(), server.port());
  other.login("DEF");
  TestClient client(server.address(), server.port());
  client.login("ABC");
  client.sendLine("$AXABC:SERVER:METAR:KSFO");
  EXPECT_EQ(client.readLine(), "$ERserver:ABC:9:KSFO");
  // The request and its answer stay between the asker and the server.
  other.sendLine("$PIDEF:SERVER:x");
  EXPECT_EQ(other.readLine(), "$POserver:DEF:x");
}

}  // namespace
}  // namespace netserver::testing
