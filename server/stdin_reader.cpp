#include "server/stdin_reader.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace netserver {
namespace {

constexpr std::size_t kMaxCommandLength = 4096;
constexpr int kPollMs = 100;  // how soon a stop request is seen

}  // namespace

StdinReader::StdinReader(int fd, LineHandler onLine, EndHandler onEnd)
    : fd_(fd), onLine_(std::move(onLine)), onEnd_(std::move(onEnd)) {}

StdinReader::~StdinReader() { stop(); }

void StdinReader::start() {
  thread_ = std::thread([this] { run(); });
}

void StdinReader::stop() {
  stopRequested_ = true;
  if (thread_.joinable()) thread_.join();
}

void StdinReader::run() {
  std::string pending;
  char buffer[1024];
  while (!stopRequested_) {
    pollfd waiting{fd_, POLLIN, 0};
    const int ready = ::poll(&waiting, 1, kPollMs);
    if (ready < 0 && errno == EINTR) continue;
    if (ready == 0) continue;
    const ssize_t got = ready < 0 ? -1 : ::read(fd_, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) {
      if (!pending.empty() && onLine_) onLine_(pending);
      if (onEnd_) onEnd_();
      return;
    }
    for (ssize_t i = 0; i < got; ++i) {
      if (buffer[i] == '\n') {
        if (onLine_) onLine_(pending);
        pending.clear();
      } else if (pending.size() < kMaxCommandLength) {
        pending.push_back(buffer[i]);
      }
    }
  }
}

}  // namespace netserver
