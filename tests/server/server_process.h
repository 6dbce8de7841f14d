// The built netserver executable as a child process, driven through its
// standard input and read through its standard output.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace netserver::testing {

class ServerProcess {
 public:
  explicit ServerProcess(const std::vector<std::string>& args);
  ~ServerProcess();  // kills a child that is still running
  ServerProcess(const ServerProcess&) = delete;
  ServerProcess& operator=(const ServerProcess&) = delete;

  void writeLine(const std::string& line);
  void closeInput();
  // Reads event lines until one begins with `start`; returns it.
  std::optional<std::string> waitForLine(
      const std::string& start,
      std::chrono::milliseconds timeout = std::chrono::seconds(5));
  // The port from the "listen ADDRESS PORT" line.
  unsigned short waitForPort();
  void signal(int number);
  // The exit code, or nothing when it is still running after the time.
  std::optional<int> waitExit(
      std::chrono::milliseconds timeout = std::chrono::seconds(5));
  bool running();

 private:
  pid_t pid_ = -1;
  int input_ = -1;
  int output_ = -1;
  std::string buffer_;
  std::optional<int> exitCode_;
};

}  // namespace netserver::testing
