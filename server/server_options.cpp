#include "server/server_options.h"

#include <cerrno>
#include <cstdlib>
#include <system_error>

namespace netserver {
namespace {

bool readNumber(const std::string& text, long min, long max, long& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long value = std::strtol(text.c_str(), &end, 10);
  if (errno != 0 || *end != '\0' || value < min || value > max) return false;
  out = value;
  return true;
}

}  // namespace

const char* usageText() {
  return "usage: netserver [--listen ADDRESS] [--port N] [--metar DIR] "
         "[--demo]\n"
         "                 [--world FILE] [--crowd N] [--world-speed N]\n"
         "                 [--demo-period MS]\n"
         "                 [--on-login LINE] "
         "[--login-timeout S] "
         "[--idle-timeout S]\n"
         "                 [--stdin-quit]\n"
         "commands on standard input: send CALLSIGN RAWLINE | sendall RAWLINE "
         "|\n"
         "  kill CALLSIGN REASON | close CALLSIGN | list | plans | quit\n";
}

ParsedOptions parseOptions(const std::vector<std::string>& args,
                           const std::filesystem::path& executableFolder) {
  ParsedOptions parsed;
  ServerOptions& options = parsed.options;
  bool metarGiven = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    const bool hasValue = i + 1 < args.size();
    long number = 0;
    if (arg == "--help" || arg == "-h") {
      parsed.showHelp = true;
    } else if (arg == "--demo") {
      options.demo = true;
    } else if (arg == "--stdin-quit") {
      options.quitAtEndOfInput = true;
    } else if (!hasValue &&
               (arg == "--listen" || arg == "--port" || arg == "--metar" ||
                arg == "--demo-period" || arg == "--world" ||
                arg == "--world-speed" || arg == "--login-timeout" ||
                arg == "--idle-timeout" || arg == "--on-login" ||
                arg == "--crowd")) {
      parsed.error = arg + " needs a value";
    } else if (arg == "--on-login") {
      options.greeting.push_back(args[++i]);
    } else if (arg == "--listen") {
      options.listen.address = args[++i];
    } else if (arg == "--port") {
      if (!readNumber(args[++i], 0, 65535, number))
        parsed.error = "bad port " + args[i];
      options.listen.port = static_cast<unsigned short>(number);
    } else if (arg == "--metar") {
      options.metarFolder = args[++i];
      metarGiven = true;
    } else if (arg == "--demo-period") {
      if (!readNumber(args[++i], 10, 3600000, number))
        parsed.error = "bad period " + args[i];
      options.demoPeriod = std::chrono::milliseconds(number);
    } else if (arg == "--world") {
      options.worldFile = args[++i];
    } else if (arg == "--crowd") {
      if (!readNumber(args[++i], 0, kMaxCrowd, number))
        parsed.error = "bad crowd " + args[i];
      options.crowd = static_cast<int>(number);
    } else if (arg == "--world-speed") {
      if (!readNumber(args[++i], 1, 100, number))
        parsed.error = "bad world speed " + args[i];
      options.demoPeriod =
          std::chrono::milliseconds(5000 / (number ? number : 1));
    } else if (arg == "--login-timeout" || arg == "--idle-timeout") {
      if (!readNumber(args[i + 1], 1, 86400, number))
        parsed.error = "bad timeout " + args[i + 1];
      auto& target = arg == "--login-timeout"
                         ? options.listen.limits.loginTimeout
                         : options.listen.limits.idleTimeout;
      target = std::chrono::seconds(number);
      ++i;
    } else {
      parsed.error = "unknown option " + arg;
    }
    if (!parsed.error.empty()) return parsed;
  }
  if (options.crowd > 0 && !options.worldFile && !options.demo) {
    parsed.error = "--crowd needs --world or --demo";
    return parsed;
  }
  if (!metarGiven) {
    std::error_code ec;
    const auto beside = executableFolder / "metar";
    if (std::filesystem::is_directory(beside, ec)) options.metarFolder = beside;
  }
  return parsed;
}

}  // namespace netserver
