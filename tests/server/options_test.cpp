#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "server/server_options.h"

namespace netserver {
namespace {

TEST(Options, DefaultsAndEveryOption) {
  const auto none = parseOptions({}, "/nonexistent-folder");
  EXPECT_TRUE(none.error.empty());
  EXPECT_EQ(none.options.listen.address, "127.0.0.1");
  EXPECT_EQ(none.options.listen.port, 6809);
  EXPECT_FALSE(none.options.metarFolder);
  EXPECT_FALSE(none.options.demo);
  EXPECT_FALSE(none.options.quitAtEndOfInput);

  const auto all = parseOptions(
      {"--listen", "127.0.0.9", "--port", "7000", "--metar", "/m", "--demo",
       "--stdin-quit", "--demo-period", "250", "--login-timeout", "5",
       "--idle-timeout", "9", "--crowd", "20000"},
      "/nonexistent-folder");
  ASSERT_TRUE(all.error.empty()) << all.error;
  EXPECT_EQ(all.options.listen.address, "127.0.0.9");
  EXPECT_EQ(all.options.listen.port, 7000);
  EXPECT_EQ(all.options.metarFolder, std::filesystem::path("/m"));
  EXPECT_TRUE(all.options.demo);
  EXPECT_TRUE(all.options.quitAtEndOfInput);
  EXPECT_EQ(all.options.demoPeriod, std::chrono::milliseconds(250));
  EXPECT_EQ(all.options.listen.limits.loginTimeout, std::chrono::seconds(5));
  EXPECT_EQ(all.options.listen.limits.idleTimeout, std::chrono::seconds(9));
  EXPECT_EQ(all.options.crowd, 20000);
  EXPECT_EQ(none.options.crowd, 0);
}

TEST(Options, MetarFolderBesideTheExecutableUnlessOneIsGiven) {
  const auto folder = std::filesystem::temp_directory_path() /
                      ("netserver-options-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder / "metar");
  EXPECT_EQ(parseOptions({}, folder).options.metarFolder, folder / "metar");
  EXPECT_EQ(parseOptions({"--metar", "/other"}, folder).options.metarFolder,
            std::filesystem::path("/other"));
  std::filesystem::remove_all(folder);
}

TEST(Options, MistakesAreReported) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--port"},
        {"--port", "x"},
        {"--port", "65536"},
        {"--port", "-1"},
        {"--listen"},
        {"--demo-period", "0"},
        {"--idle-timeout", "0"},
        {"--demo", "--crowd", "20001"},
        {"--demo", "--crowd", "-1"},
        {"--demo", "--crowd"},
        {"--crowd", "5"},  // no world to add them to
        {"--bogus"}}) {
    EXPECT_FALSE(parseOptions(args, "/nonexistent-folder").error.empty())
        << args[0];
  }
  EXPECT_TRUE(parseOptions({"--help"}, "/nonexistent-folder").showHelp);
}

}  // namespace
}  // namespace netserver
