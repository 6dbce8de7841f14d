#include "server_process.h"

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <stdexcept>
#include <thread>

namespace netserver::testing {

ServerProcess::ServerProcess(const std::vector<std::string>& args) {
  int toChild[2];
  int fromChild[2];
  if (::pipe(toChild) != 0 || ::pipe(fromChild) != 0)
    throw std::runtime_error("pipe");
  std::vector<std::string> argv{NETSERVER_PATH};
  argv.insert(argv.end(), args.begin(), args.end());
  std::vector<char*> raw;
  for (auto& arg : argv) raw.push_back(arg.data());
  raw.push_back(nullptr);

  pid_ = ::fork();
  if (pid_ < 0) throw std::runtime_error("fork");
  if (pid_ == 0) {
    ::dup2(toChild[0], STDIN_FILENO);
    ::dup2(fromChild[1], STDOUT_FILENO);
    ::close(toChild[0]);
    ::close(toChild[1]);
    ::close(fromChild[0]);
    ::close(fromChild[1]);
    ::execv(raw[0], raw.data());
    ::_exit(127);
  }
  ::close(toChild[0]);
  ::close(fromChild[1]);
  input_ = toChild[1];
  output_ = fromChild[0];
}

ServerProcess::~ServerProcess() {
  if (running()) {
    ::kill(pid_, SIGKILL);
    waitExit();
  }
  closeInput();
  if (output_ >= 0) ::close(output_);
}

void ServerProcess::writeLine(const std::string& line) {
  const std::string bytes = line + "\n";
  if (input_ >= 0) {
    [[maybe_unused]] const auto written =
        ::write(input_, bytes.data(), bytes.size());
  }
}

void ServerProcess::closeInput() {
  if (input_ >= 0) ::close(input_);
  input_ = -1;
}

std::optional<std::string> ServerProcess::waitForLine(
    const std::string& start, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    for (auto end = buffer_.find('\n'); end != std::string::npos;
         end = buffer_.find('\n')) {
      std::string line = buffer_.substr(0, end);
      buffer_.erase(0, end + 1);
      if (line.rfind(start, 0) == 0) return line;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0 || output_ < 0) return std::nullopt;
    pollfd waiting{output_, POLLIN, 0};
    if (::poll(&waiting, 1, static_cast<int>(left.count())) <= 0) continue;
    char chunk[4096];
    const ssize_t n = ::read(output_, chunk, sizeof chunk);
    if (n <= 0) return std::nullopt;
    buffer_.append(chunk, static_cast<std::size_t>(n));
  }
}

unsigned short ServerProcess::waitForPort() {
  const auto line = waitForLine("listen ");
  if (!line) return 0;
  return static_cast<unsigned short>(
      std::stoi(line->substr(line->rfind(' ') + 1)));
}

void ServerProcess::signal(int number) {
  if (running()) ::kill(pid_, number);
}

bool ServerProcess::running() {
  if (pid_ < 0 || exitCode_) return false;
  int status = 0;
  if (::waitpid(pid_, &status, WNOHANG) == pid_) {
    exitCode_ =
        WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return false;
  }
  return true;
}

std::optional<int> ServerProcess::waitExit(std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (running()) {
    if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return exitCode_;
}

}  // namespace netserver::testing
