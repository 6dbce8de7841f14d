// The command line of netserver.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "server/tcp_server.h"

namespace netserver {

// The most pilots --crowd adds.
constexpr long kMaxCrowd = 20000;

struct ServerOptions {
  ListenOptions listen;
  std::optional<std::filesystem::path> metarFolder;  // none: no METAR reports
  bool demo = false;                                 // the small built-in world
  std::optional<std::filesystem::path> worldFile;    // --world FILE
  int crowd = 0;  // --crowd N: pilots added around the world's airport
  // Wall-clock time of five world seconds, the report interval: 5000 runs
  // the world in real time (--demo-period MS, or --world-speed N).
  std::chrono::milliseconds demoPeriod{5000};
  bool quitAtEndOfInput = false;      // --stdin-quit
  std::vector<std::string> greeting;  // --on-login LINE, repeatable
};

struct ParsedOptions {
  ServerOptions options;
  bool showHelp = false;
  std::string error;  // not empty: the command line was wrong
};

// argv without the program name. The METAR folder defaults to "metar/"
// beside the executable (given as executableFolder) when that exists.
ParsedOptions parseOptions(const std::vector<std::string>& args,
                           const std::filesystem::path& executableFolder);

const char* usageText();

}  // namespace netserver
