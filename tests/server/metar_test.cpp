#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "server/metar_store.h"
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
