// The real Windows services behind platform.h.
// Winsock 2 before windows.h, which would otherwise bring the old one.
#include <winsock2.h>
// Then the system, then the TCP options and the keepalive control.
#include <windows.h>
//
#include <mstcpip.h>
#include <ws2tcpip.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "platform/platform.h"

namespace talvix::platform {

static_assert(sizeof(CRITICAL_SECTION) <= 64, "the lock storage fits");
static_assert(alignof(CRITICAL_SECTION) <= 16, "the lock storage aligns");

static CRITICAL_SECTION* Section(unsigned char* storage) {
  return reinterpret_cast<CRITICAL_SECTION*>(storage);
}

// Critical sections are recursive for their owning thread, as the lock must be.
static std::atomic<LockWatcher> g_lockWatcher{nullptr};

void WatchLocks(LockWatcher watcher) { g_lockWatcher.store(watcher); }

Lock::Lock() {
  InitializeCriticalSection(Section(storage_));
  if (LockWatcher watcher = g_lockWatcher.load()) watcher(this, true);
}
Lock::~Lock() {
  if (LockWatcher watcher = g_lockWatcher.load()) watcher(this, false);
  DeleteCriticalSection(Section(storage_));
}
void Lock::enter() { EnterCriticalSection(Section(storage_)); }
void Lock::leave() { LeaveCriticalSection(Section(storage_)); }

// The default value of the program's key under HKLM "...\\App Paths". A
// value longer than the buffer is cut to it; the registry does not promise a
// NUL at the end of a string, so one is added.
bool ReadAppPath(const char* program, char* buffer, std::size_t size) {
  if (program == nullptr || buffer == nullptr || size == 0) return false;
  buffer[0] = '\0';
  char keyName[MAX_PATH];
  int length = std::snprintf(
      keyName, sizeof keyName,
      "Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\%s", program);
  if (length < 0 || static_cast<std::size_t>(length) >= sizeof keyName) {
    return false;
  }
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyName, 0, KEY_QUERY_VALUE, &key) !=
      ERROR_SUCCESS) {
    return false;
  }
  DWORD type = 0;
  DWORD bytes = 0;
  bool ok = RegQueryValueExA(key, nullptr, nullptr, &type, nullptr, &bytes) ==
                ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ) && bytes < 65536;
  std::vector<char> value(bytes + 1, '\0');
  if (ok) {
    ok = RegQueryValueExA(key, nullptr, nullptr, &type,
                          reinterpret_cast<BYTE*>(value.data()),
                          &bytes) == ERROR_SUCCESS &&
         bytes < value.size();
  }
  RegCloseKey(key);
  if (!ok) return false;
  value[bytes] = '\0';
  std::snprintf(buffer, size, "%s", value.data());
  return true;
}

bool IsRegularFile(const char* path) {
  if (path == nullptr || path[0] == '\0') return false;
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES &&
         (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

bool IsAbsolutePath(const char* path) {
  if (path == nullptr) return false;
  const bool drive = ((path[0] >= 'A' && path[0] <= 'Z') ||
                      (path[0] >= 'a' && path[0] <= 'z')) &&
                     path[1] == ':' && path[2] == '\\';
  const bool network = path[0] == '\\' && path[1] == '\\';
  return drive || network;
}

// The program is named apart from its command line, so the system neither
// searches for it nor reads a program name out of the line ("C:\Program
// Files\..." would first run "C:\Program.exe"). The window is shown as
// WinExec shows it; no handle of the plug-in is inherited and none is kept.
bool StartProgram(const char* applicationPath, const char* commandLine,
                  int showCode) {
  if (applicationPath == nullptr || commandLine == nullptr) return false;
  if (!IsAbsolutePath(applicationPath)) return false;
  std::vector<char> line(commandLine,
                         commandLine + std::strlen(commandLine) + 1);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(showCode);
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(applicationPath, line.data(), nullptr, nullptr, FALSE, 0,
                      nullptr, nullptr, &startup, &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return true;
}

// The remote-control library exports its functions with the standard
// Windows calling convention: the callee pops the argument.
int CallLibraryConnect(void* function, const char* address) {
  using ConnectFn = int(__stdcall*)(const char*);
  return reinterpret_cast<ConnectFn>(function)(address);
}

// GetCurrentDirectoryA returns the length needed, not a failure, when the
// buffer is too small: that case is a failure here, with an empty buffer.
bool CurrentDirectory(char* buffer, std::size_t size) {
  if (buffer == nullptr || size == 0) return false;
  DWORD capacity = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
  DWORD length = GetCurrentDirectoryA(capacity, buffer);
  if (length == 0 || length >= capacity) {
    buffer[0] = '\0';
    return false;
  }
  return true;
}

bool WriteWholeFile(const char* path, const char* data, std::size_t length) {
  if (path == nullptr || (data == nullptr && length != 0)) return false;
  if (length > MAXDWORD) return false;
  HANDLE file = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, data, static_cast<DWORD>(length), &written,
                      nullptr) != 0 &&
            written == length;
  return CloseHandle(file) != 0 && ok;
}

CalendarTime UtcNow() {
  SYSTEMTIME now;
  GetSystemTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

CalendarTime LocalNow() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

// The system clock counts 100 ns steps since 1601-01-01.
long long NowSeconds() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER ticks;
  ticks.LowPart = now.dwLowDateTime;
  ticks.HighPart = now.dwHighDateTime;
  const unsigned long long kEpochOffset = 11644473600ULL;  // 1601 -> 1970
  return static_cast<long long>(ticks.QuadPart / 10000000ULL - kEpochOffset);
}

char PathSeparator() { return '\\'; }

namespace {

// Older headers lack the options of newer systems; the numbers are the
// system's own.
#ifndef TCP_MAXRT
constexpr int kMaxRetransmitTime = 5;
#else
constexpr int kMaxRetransmitTime = TCP_MAXRT;
#endif
#ifndef TCP_KEEPCNT
constexpr int kKeepaliveCount = 16;
#else
constexpr int kKeepaliveCount = TCP_KEEPCNT;
#endif

}  // namespace

LinkWatch SessionLinkWatch() { return kSessionLinkWatch; }

// Keepalive times through SIO_KEEPALIVE_VALS (every system since 2000);
// the time sent data may go unacknowledged through TCP_MAXRT, in whole
// seconds (since Vista). The probe count is the system's own (10) unless
// TCP_KEEPCNT is known (Windows 10 1703 on): its refusal is no failure,
// since the bound on unacknowledged data is what ends a live session.
bool WatchLink(std::uintptr_t socket, const LinkWatch& watch) {
  const SOCKET s = static_cast<SOCKET>(socket);
  const BOOL on = TRUE;
  bool ok = setsockopt(s, SOL_SOCKET, SO_KEEPALIVE,
                       reinterpret_cast<const char*>(&on), sizeof on) == 0;
  tcp_keepalive times{};
  times.onoff = 1;
  times.keepalivetime = static_cast<ULONG>(watch.keepIdleMs);
  times.keepaliveinterval = static_cast<ULONG>(watch.keepIntervalMs);
  DWORD returned = 0;
  ok = WSAIoctl(s, SIO_KEEPALIVE_VALS, &times, sizeof times, nullptr, 0,
                &returned, nullptr, nullptr) == 0 &&
       ok;
  const DWORD probes = static_cast<DWORD>(watch.keepProbes);
  setsockopt(s, IPPROTO_TCP, kKeepaliveCount,
             reinterpret_cast<const char*>(&probes), sizeof probes);
  const DWORD seconds = static_cast<DWORD>((watch.unackedMs + 999) / 1000);
  ok = setsockopt(s, IPPROTO_TCP, kMaxRetransmitTime,
                  reinterpret_cast<const char*>(&seconds),
                  sizeof seconds) == 0 &&
       ok;
  return ok;
}

}  // namespace talvix::platform
