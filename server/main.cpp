// netserver: a local network server for trying the plug-in and for
// integration tests. See usageText() for the command line.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "server/server_app.h"
#include "server/stdin_reader.h"

namespace {

std::filesystem::path executableFolder(const char* argv0) {
  std::error_code ec;
  auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) self = std::filesystem::absolute(argv0, ec);
  return self.parent_path();
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  const auto parsed = netserver::parseOptions(args, executableFolder(argv[0]));
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "netserver: %s\n%s", parsed.error.c_str(),
                 netserver::usageText());
    return 2;
  }
  if (parsed.showHelp) {
    std::fputs(netserver::usageText(), stdout);
    return 0;
  }

  netserver::ServerApp app(parsed.options, netserver::EventLog());
  // Before the "listen" line, so that a signal sent after it is always seen.
  app.stopOnSignals();
  try {
    app.start();
  } catch (const std::system_error& error) {
    std::fprintf(stderr, "netserver: cannot listen on %s port %u: %s\n",
                 parsed.options.listen.address.c_str(),
                 parsed.options.listen.port, error.what());
    return 1;
  } catch (const std::runtime_error& error) {
    std::fprintf(stderr, "netserver: %s\n", error.what());
    return 2;
  }

  const bool quitAtEnd = parsed.options.quitAtEndOfInput;
  netserver::StdinReader console(
      STDIN_FILENO, [&app](const std::string& line) { app.command(line); },
      [&app, quitAtEnd] {
        if (quitAtEnd) app.requestStop();
      });
  console.start();
  app.run();
  console.stop();
  return 0;
}
