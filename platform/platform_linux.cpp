// Linux stand-ins for the Windows services of platform.h.
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <pthread.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <vector>

#include "platform/command_line_words.h"
#include "platform/platform.h"

namespace talvix::platform {

static_assert(sizeof(pthread_mutex_t) <= 64, "the lock storage fits");

static pthread_mutex_t* Mutex(unsigned char* storage) {
  return reinterpret_cast<pthread_mutex_t*>(storage);
}

static std::atomic<LockWatcher> g_lockWatcher{nullptr};

void WatchLocks(LockWatcher watcher) { g_lockWatcher.store(watcher); }

Lock::Lock() {
  pthread_mutexattr_t attributes;
  pthread_mutexattr_init(&attributes);
  pthread_mutexattr_settype(&attributes, PTHREAD_MUTEX_RECURSIVE);
  pthread_mutex_init(Mutex(storage_), &attributes);
  pthread_mutexattr_destroy(&attributes);
  if (LockWatcher watcher = g_lockWatcher.load()) watcher(this, true);
}
Lock::~Lock() {
  if (LockWatcher watcher = g_lockWatcher.load()) watcher(this, false);
  pthread_mutex_destroy(Mutex(storage_));
}
void Lock::enter() { pthread_mutex_lock(Mutex(storage_)); }
void Lock::leave() { pthread_mutex_unlock(Mutex(storage_)); }

// The registry stand-in: a file "registry/App Paths/<program>" under the
// folder named by TALVIX_REGISTRY, or under the working directory, holding the
// default value on its first line.
bool ReadAppPath(const char* program, char* buffer, std::size_t size) {
  if (program == nullptr || buffer == nullptr || size == 0) return false;
  const char* base = std::getenv("TALVIX_REGISTRY");
  std::string path =
      std::string(base ? base : "registry") + "/App Paths/" + program;
  std::ifstream in(path);
  std::string line;
  if (!in || !std::getline(in, line)) return false;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  std::snprintf(buffer, size, "%s", line.c_str());
  return true;
}

bool IsRegularFile(const char* path) {
  if (path == nullptr || path[0] == '\0') return false;
  struct stat status;
  return stat(path, &status) == 0 && S_ISREG(status.st_mode);
}

bool IsAbsolutePath(const char* path) {
  return path != nullptr && path[0] == '/';
}

// Starts the program file at applicationPath without a shell (the command
// line may carry received text) and without a search: the command line is
// split at blanks into the program's arguments, as a program on Windows reads
// the same line, and the program is the file named, whatever the first word.
// True once the program runs: a file that cannot be run is reported by the
// starting child through a pipe that closes when the program replaces it.
bool StartProgram(const char* applicationPath, const char* commandLine,
                  int /*showCode*/) {
  if (applicationPath == nullptr || commandLine == nullptr) return false;
  if (!IsAbsolutePath(applicationPath) || access(applicationPath, X_OK) != 0) {
    return false;
  }
  // The program receives its arguments as a Windows program would read
  // them from the same command line.
  std::vector<std::string> words = CommandLineWords(commandLine);
  if (words.front().empty()) words.front() = applicationPath;
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(&w[0]);
  argv.push_back(nullptr);
  int failure[2];
  if (pipe2(failure, O_CLOEXEC) != 0) return false;
  // Two forks, so the program is nobody's child here and needs no reaping;
  // between fork and exec only async-signal-safe calls are made.
  pid_t child = fork();
  if (child < 0) {
    close(failure[0]);
    close(failure[1]);
    return false;
  }
  if (child == 0) {
    close(failure[0]);
    const pid_t program = fork();
    if (program == 0) {
      // The program gets standard input, output and error only: an
      // inherited socket of the session would keep the connection open
      // after Disconnect. Every other descriptor closes as the program
      // starts (the failure pipe with them); a kernel that cannot mark them
      // all at once has them closed one by one.
      if (close_range(STDERR_FILENO + 1, ~0U, CLOSE_RANGE_CLOEXEC) != 0) {
        for (int fd = STDERR_FILENO + 1; fd < 65536; ++fd) {
          if (fd != failure[1]) close(fd);
        }
      }
      execv(applicationPath, argv.data());
    }
    if (program <= 0) {
      const char failed = 1;
      if (write(failure[1], &failed, 1) != 1) _exit(1);
      _exit(program < 0 ? 1 : 127);
    }
    _exit(0);
  }
  close(failure[1]);
  waitpid(child, nullptr, 0);
  char failed = 0;
  ssize_t got;
  do {
    got = read(failure[0], &failed, 1);
  } while (got < 0 && errno == EINTR);
  close(failure[0]);
  return got == 0;
}

int CallLibraryConnect(void* function, const char* address) {
  using ConnectFn = int (*)(const char*);
  return reinterpret_cast<ConnectFn>(function)(address);
}

bool CurrentDirectory(char* buffer, std::size_t size) {
  if (buffer == nullptr || size == 0) return false;
  if (getcwd(buffer, size) == nullptr) {
    buffer[0] = '\0';
    return false;
  }
  return true;
}

bool WriteWholeFile(const char* path, const char* data, std::size_t length) {
  int fd = open(path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd < 0) return false;
  bool ok = write(fd, data, length) == static_cast<ssize_t>(length);
  return close(fd) == 0 && ok;
}

namespace {

CalendarTime FromParts(const std::tm& parts) {
  return {parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
          parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

}  // namespace

CalendarTime UtcNow() {
  std::time_t now = std::time(nullptr);
  std::tm parts{};
  gmtime_r(&now, &parts);
  return FromParts(parts);
}

CalendarTime LocalNow() {
  std::time_t now = std::time(nullptr);
  std::tm parts{};
  localtime_r(&now, &parts);
  return FromParts(parts);
}

long long NowSeconds() { return static_cast<long long>(std::time(nullptr)); }

char PathSeparator() { return '/'; }

namespace {

// Whole seconds for the keepalive settings, at least one.
int SecondsOf(int milliseconds) {
  return milliseconds < 1000 ? 1 : (milliseconds + 999) / 1000;
}

}  // namespace

// Tests that cannot wait half a minute for each case set the bound on
// unacknowledged data in milliseconds through TALVIX_TEST_LINK_TIMEOUT_MS;
// the other values follow at the same scale. Only this stand-in reads it:
// the Windows build has the fixed values alone.
LinkWatch SessionLinkWatch() {
  const char* scale = std::getenv("TALVIX_TEST_LINK_TIMEOUT_MS");
  const long unacked = scale ? std::strtol(scale, nullptr, 10) : 0;
  if (unacked <= 0 || unacked >= kSessionLinkWatch.unackedMs)
    return kSessionLinkWatch;
  auto scaled = [unacked](int value) {
    return static_cast<int>(value * unacked / kSessionLinkWatch.unackedMs);
  };
  return {scaled(kSessionLinkWatch.keepIdleMs),
          scaled(kSessionLinkWatch.keepIntervalMs),
          kSessionLinkWatch.keepProbes, static_cast<int>(unacked)};
}

// Keepalive alone never fires while sent data waits for its
// acknowledgement, which on a live session is nearly always: the user
// timeout is what ends a dead link there, and with it set the keepalive
// probes also give up once that much time has passed without an answer.
bool WatchLink(std::uintptr_t socket, const LinkWatch& watch) {
  const int fd = static_cast<int>(socket);
  auto set = [fd](int level, int name, int value) {
    return setsockopt(fd, level, name, &value, sizeof value) == 0;
  };
  bool ok = set(SOL_SOCKET, SO_KEEPALIVE, 1);
  ok = set(IPPROTO_TCP, TCP_KEEPIDLE, SecondsOf(watch.keepIdleMs)) && ok;
  ok = set(IPPROTO_TCP, TCP_KEEPINTVL, SecondsOf(watch.keepIntervalMs)) && ok;
  ok = set(IPPROTO_TCP, TCP_KEEPCNT, watch.keepProbes) && ok;
  ok = set(IPPROTO_TCP, TCP_USER_TIMEOUT, watch.unackedMs) && ok;
  return ok;
}

}  // namespace talvix::platform
