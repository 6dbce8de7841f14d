// The operating-system services the plug-in calls directly. Windows builds
// use the real ones; Linux builds use stand-ins with the same behaviour.
// Nothing outside this folder knows which it is on.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace talvix::platform {

// A critical section: recursive, owned by one thread at a time.
class Lock {
 public:
  Lock();
  ~Lock();
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;
  void enter();
  void leave();

 private:
  alignas(16) unsigned char storage_[64];
};

// When set, called after a Lock is made (created true) and before one is
// destroyed (created false): the order of the locks' lives can be watched.
using LockWatcher = void (*)(const Lock* lock, bool created);
void WatchLocks(LockWatcher watcher);

// Holds a Lock for one scope.
class LockGuard {
 public:
  explicit LockGuard(Lock& lock) : lock_(lock) { lock_.enter(); }
  ~LockGuard() { lock_.leave(); }
  LockGuard(const LockGuard&) = delete;
  LockGuard& operator=(const LockGuard&) = delete;

 private:
  Lock& lock_;
};

// Reads the default value of the local machine's application path key for a
// program ("Software\Microsoft\Windows\CurrentVersion\App Paths\<program>")
// into buffer (size with the NUL). False when the key or value is missing.
bool ReadAppPath(const char* program, char* buffer, std::size_t size);

// True when path names an existing regular file (not a folder or device).
bool IsRegularFile(const char* path);

// True when path is absolute: a drive letter with a backslash ("C:\") or a
// network path ("\\server\share") on Windows, "/" first on Linux. A relative
// path depends on the current folder and, started, on the search path.
bool IsAbsolutePath(const char* path);

// Starts the program file at applicationPath, an absolute path taken exactly
// as it is (nothing is searched for, nothing is cut at a blank), with
// commandLine as the command line the program receives (its own path first)
// and a window show code. True when the program was started.
bool StartProgram(const char* applicationPath, const char* commandLine,
                  int showCode);

// Calls a remote-control library's "connect" export, int f(const char*),
// with the calling convention such libraries use here (__stdcall on
// Windows) and returns its result.
int CallLibraryConnect(void* function, const char* address);

// The current working directory, at most size - 1 characters.
bool CurrentDirectory(char* buffer, std::size_t size);

// Creates or truncates a file and writes data in one write; false on failure.
bool WriteWholeFile(const char* path, const char* data, std::size_t length);

// Calendar time in UTC and local time.
struct CalendarTime {
  int year, month, day, hour, minute, second;
};
CalendarTime UtcNow();
CalendarTime LocalNow();

// Seconds since the epoch, for seeding and round-trip times.
long long NowSeconds();

// The folder separator of this system.
char PathSeparator();

// How a session's socket watches its link, so that a link that dies without
// a word (no end of stream, no reset: every packet lost on the way) breaks
// the socket within a bounded time. After keepIdleMs without traffic a
// keepalive probe goes out, then one every keepIntervalMs, and keepProbes
// unanswered ones end the connection; data sent but not acknowledged for
// unackedMs ends it too. A healthy peer acknowledges both, so a connection
// that is merely quiet is never cut.
struct LinkWatch {
  int keepIdleMs;
  int keepIntervalMs;
  int keepProbes;
  int unackedMs;
};

// The values every session's socket gets. The position report every five
// seconds keeps data in flight, so on a dead link the bound on
// unacknowledged data is what ends it, within about 35 seconds.
inline constexpr LinkWatch kSessionLinkWatch{10000, 5000, 3, 30000};
LinkWatch SessionLinkWatch();

// Sets the watch on a connected TCP socket (the system's socket handle).
// False when the system refused one of the settings; the others stay set.
bool WatchLink(std::uintptr_t socket, const LinkWatch& watch);

}  // namespace talvix::platform
