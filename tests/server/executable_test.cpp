#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "server_harness.h"
#include "server_process.h"

namespace netserver::testing {
namespace {

TEST(Executable, ConsoleSendRecvAndKill) {
  ServerProcess server({"--listen", "127.0.0.64", "--port", "0"});
  const unsigned short port = server.waitForPort();
  ASSERT_NE(port, 0);
  TestClient client("127.0.0.64", port);
  client.login("ABC");
  ASSERT_TRUE(server.waitForLine("login ABC"));
  client.sendLine("#TMABC:*:hello\x01world");
  EXPECT_EQ(server.waitForLine("recv ABC "),
            "recv ABC #TMABC:*:hello\\x01world");

  server.writeLine("send ABC #TMserver:ABC:from the console");
  EXPECT_EQ(client.readLine(), "#TMserver:ABC:from the console");
  server.writeLine("kill ABC Test over");
  EXPECT_EQ(client.readLine(), "$!!SERVER:ABC:Test over");
  EXPECT_TRUE(client.waitClosed());
  EXPECT_TRUE(server.waitForLine("logout ABC"));
  server.writeLine("list");
  EXPECT_EQ(server.waitForLine("list"), "list");
  server.writeLine("quit");
  EXPECT_EQ(server.waitExit(), 0);
}

TEST(Executable, EndOfInputQuitsOnlyWhenAsked) {
  ServerProcess quitting(
      {"--listen", "127.0.0.65", "--port", "0", "--stdin-quit"});
  ASSERT_NE(quitting.waitForPort(), 0);
  quitting.closeInput();
  EXPECT_EQ(quitting.waitExit(), 0);

  ServerProcess staying({"--listen", "127.0.0.65", "--port", "0"});
  const unsigned short port = staying.waitForPort();
  ASSERT_NE(port, 0);
  staying.closeInput();
  TestClient client("127.0.0.65", port);
  client.login("ABC");
  client.sendLine("$PIABC:SERVER:1");
  EXPECT_EQ(client.readLine(), "$POserver:ABC:1");
  EXPECT_TRUE(staying.running());
  staying.signal(SIGTERM);
  EXPECT_EQ(staying.waitExit(), 0);
  EXPECT_TRUE(client.waitClosed());
}

TEST(Executable, SigintStopsAndBadOptionsAreRefused) {
  ServerProcess server({"--listen", "127.0.0.66", "--port", "0"});
  ASSERT_NE(server.waitForPort(), 0);
  server.signal(SIGINT);
  EXPECT_EQ(server.waitExit(), 0);

  ServerProcess badPort({"--port", "70000"});
  EXPECT_EQ(badPort.waitExit(), 2);
  ServerProcess unknown({"--fly"});
  EXPECT_EQ(unknown.waitExit(), 2);
  ServerProcess badAddress({"--listen", "not-an-address", "--port", "0"});
  EXPECT_EQ(badAddress.waitExit(), 1);
}

TEST(Executable, MetarFolderOption) {
  const auto folder = std::filesystem::temp_directory_path() /
                      ("netserver-exe-metar-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  std::ofstream(folder / "EDDF.txt")
      << "EDDF 081750Z 24008KT CAVOK 08/02 Q1021\n";
  {
    ServerProcess server(
        {"--listen", "127.0.0.66", "--port", "0", "--metar", folder.string()});
    const unsigned short port = server.waitForPort();
    ASSERT_NE(port, 0);
    TestClient client("127.0.0.66", port);
    client.login("ABC");
    client.sendLine("$AXABC:SERVER:METAR:EDDF");
    EXPECT_EQ(client.readLine(),
              "$ARserver:ABC:METAR:EDDF 081750Z 24008KT CAVOK 08/02 Q1021");
    server.writeLine("quit");
    EXPECT_EQ(server.waitExit(), 0);
  }
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace netserver::testing
