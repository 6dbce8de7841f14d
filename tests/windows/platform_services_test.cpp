// The real Windows services of platform/ under wine: the registry entry of the
// voice program (written beforehand with `wine reg add`), starting it by its
// path, the current directory, whole-file writes, the clock, the locks and
// the link watch of a connected socket, read back with getsockopt.
//
// Usage: platform_services_test <expected roger.exe path> <scratch folder>
// Exit code 0 when every check passed; each failure is printed.
// Winsock 2 before windows.h, which would otherwise bring the old one.
#include <winsock2.h>
#include <ws2tcpip.h>
//
#include <windows.h>
//
#include <mstcpip.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"

namespace {

int failures = 0;

void Check(bool condition, const char* what) {
  if (!condition) {
    ++failures;
    std::fprintf(stderr, "FAILED: %s\n", what);
  }
}

std::string ReadFile(const std::string& path) {
  std::string text;
  std::FILE* in = std::fopen(path.c_str(), "rb");
  if (in == nullptr) return "<missing>";
  char chunk[256];
  std::size_t n;
  while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0)
    text.append(chunk, n);
  std::fclose(in);
  return text;
}

// Waits for the started program's answer file: WinExec returns as soon as
// the process exists, not when it has run.
std::string AwaitFile(const std::string& path) {
  for (int i = 0; i < 200; ++i) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
      return ReadFile(path);
    }
    Sleep(50);
  }
  return "<never written>";
}

std::string Folder(const std::string& file) {
  std::size_t slash = file.find_last_of("\\/");
  return slash == std::string::npos ? "." : file.substr(0, slash);
}

void TestRegistry(const std::string& expected) {
  char path[260];
  std::memset(path, 'x', sizeof path);
  Check(talvix::platform::ReadAppPath("roger.exe", path, sizeof path),
        "the roger.exe App Paths entry is read");
  Check(expected == path, "the default value is the path written by reg add");

  char cut[8];
  std::memset(cut, 'x', sizeof cut);
  Check(talvix::platform::ReadAppPath("roger.exe", cut, sizeof cut),
        "a value longer than the buffer still reads");
  Check(std::strlen(cut) == sizeof cut - 1 &&
            expected.compare(0, sizeof cut - 1, cut) == 0,
        "a long value is cut to the buffer with its NUL");

  char missing[64] = "unchanged";
  Check(!talvix::platform::ReadAppPath("no-such-program.exe", missing,
                                       sizeof missing),
        "a missing key reads as false");
  Check(missing[0] == '\0', "a missing key leaves an empty text");

  std::string longName(300, 'a');
  Check(
      !talvix::platform::ReadAppPath(longName.c_str(), missing, sizeof missing),
      "a program name too long for a key name is refused");
}

// What the started program recorded: its arguments, one a line, once they
// are written, and then its command line and show code (roger_start.txt).
struct Recorded {
  std::string arguments;
  std::string start;
};
Recorded AwaitRecorded(const std::string& folder) {
  Recorded recorded;
  recorded.arguments = AwaitFile(folder + "\\roger_args.txt");
  recorded.start = ReadFile(folder + "\\roger_start.txt");
  DeleteFileA((folder + "\\roger_args.txt").c_str());
  DeleteFileA((folder + "\\roger_start.txt").c_str());
  return recorded;
}

bool Exists(const std::string& path) {
  return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void TestStartProgram(const std::string& roger) {
  using talvix::platform::StartProgram;
  const std::string folder = Folder(roger);
  DeleteFileA((folder + "\\roger_args.txt").c_str());
  DeleteFileA((folder + "\\roger_start.txt").c_str());

  const std::string join = "\"" + roger + "\" /join1 RW.TEST.NET/CHANNEL";
  Check(StartProgram(roger.c_str(), join.c_str(), 7),
        "the join command line starts the program");
  Recorded recorded = AwaitRecorded(folder);
  Check(recorded.arguments == "/join1\nRW.TEST.NET/CHANNEL\n",
        "the program receives the join switch and the address");
  Check(recorded.start == join + "\nshow 7\n",
        "the join's command line arrives as written, shown with code 7");

  const std::string leave = "\"" + roger + "\" /leave ";
  Check(StartProgram(roger.c_str(), leave.c_str(), 4),
        "the leave command line starts the program");
  recorded = AwaitRecorded(folder);
  Check(recorded.arguments == "/leave\n", "the program receives /leave");
  Check(recorded.start == leave + "\nshow 4\n",
        "the leave's command line arrives as written, shown with code 4");

  Check(!StartProgram("C:\\no\\such\\roger.exe",
                      "C:\\no\\such\\roger.exe /leave ", 4),
        "a missing program is not started");
  Check(!StartProgram(nullptr, "x", 4), "no program starts nothing");
  Check(!StartProgram(roger.c_str(), nullptr, 4),
        "no command line starts nothing");

  struct PathCase {
    const char* path;
    bool absolute;
  };
  const PathCase paths[] = {
      {"C:\\Roger\\roger.exe", true},
      {"z:\\roger.exe", true},
      {"\\\\host\\share\\roger.exe", true},
      {"roger.exe", false},
      {".\\roger.exe", false},
      {"\\roger.exe", false},
      {"C:roger.exe", false},
      {"C:/roger.exe", false},
      {"\"C:\\roger.exe\"", false},
      {"", false},
  };
  for (const PathCase& c : paths) {
    if (talvix::platform::IsAbsolutePath(c.path) != c.absolute) {
      std::fprintf(stderr, "  path: '%s'\n", c.path);
      Check(false, "a path is absolute with a drive and backslash or as UNC");
    }
  }
}

// A program path with blanks, and "Roger.exe" where the path's first word
// ends: the program at the end of the path is started, not the one a
// search of the command line would find first. It receives the command line
// as written; its path in quotes there, its first argument is the switch.
// A relative path is refused, though the current folder holds the program.
void TestStartProgramByPath(const std::string& roger,
                            const std::string& scratch) {
  using talvix::platform::StartProgram;
  const std::string base = scratch + "\\start";
  const std::string folder = base + "\\Roger Wilco Test";
  const std::string barrier = base + "\\barrier";
  CreateDirectoryA(base.c_str(), nullptr);
  CreateDirectoryA(folder.c_str(), nullptr);
  CreateDirectoryA(barrier.c_str(), nullptr);
  const std::string program = folder + "\\roger_stub.exe";
  Check(CopyFileA(roger.c_str(), program.c_str(), FALSE) != 0 &&
            CopyFileA(roger.c_str(), (base + "\\Roger.exe").c_str(), FALSE) !=
                0 &&
            CopyFileA(roger.c_str(), (barrier + "\\roger_stub.exe").c_str(),
                      FALSE) != 0,
        "the programs are copied into place");

  const std::string join = "\"" + program + "\" /join1 RW.TEST.NET/CHANNEL";
  Check(StartProgram(program.c_str(), join.c_str(), 7),
        "the program with blanks in its path starts");
  const Recorded recorded = AwaitRecorded(folder);
  Check(recorded.arguments == "/join1\nRW.TEST.NET/CHANNEL\n",
        "the program at the end of the path receives the switch first");
  Check(recorded.start == join + "\nshow 7\n",
        "its command line arrives as written, shown with code 7");
  Check(
      !Exists(base + "\\roger_args.txt") && !Exists(base + "\\roger_start.txt"),
      "the program at the path's first word is not started");

  Check(SetCurrentDirectoryA(folder.c_str()) != 0, "the program's folder");
  Check(!StartProgram("roger_stub.exe", "roger_stub.exe /join1 RW", 7),
        "a relative program path is refused");
  Check(!StartProgram(".\\roger_stub.exe", ".\\roger_stub.exe /leave ", 4),
        "a path relative to the current folder is refused");
  // A program started after the refusals has run: one they had started
  // would have written too.
  const std::string last = barrier + "\\roger_stub.exe";
  Check(StartProgram(last.c_str(), (last + " /leave ").c_str(), 4),
        "a later program starts");
  Check(AwaitRecorded(barrier).arguments == "/leave\n",
        "the later program ran");
  Check(!Exists(folder + "\\roger_args.txt"),
        "nothing was started for the refused paths");
}

void TestCurrentDirectoryAndFiles(const std::string& scratch) {
  Check(SetCurrentDirectoryA(scratch.c_str()) != 0, "the scratch folder");
  char here[MAX_PATH];
  Check(talvix::platform::CurrentDirectory(here, sizeof here),
        "the current directory is read");
  char expected[MAX_PATH];
  GetFullPathNameA(scratch.c_str(), sizeof expected, expected, nullptr);
  Check(lstrcmpiA(here, expected) == 0,
        "the current directory is the folder just entered");

  char tiny[3] = "ab";
  Check(!talvix::platform::CurrentDirectory(tiny, sizeof tiny),
        "a buffer too small for the folder is a failure");
  Check(tiny[0] == '\0', "and leaves an empty text");

  std::string file = std::string(here) + "\\METAR";
  CreateDirectoryA(file.c_str(), nullptr);
  file += "\\TXMetarTemp.txt";
  const char kFirst[] = "2004/05/31 12:00\r\nEDDF 311200Z\r\n\r\n";
  Check(
      talvix::platform::WriteWholeFile(file.c_str(), kFirst, sizeof kFirst - 1),
      "the log file is written");
  Check(ReadFile(file) == kFirst, "the log file holds what was written");
  const char kShorter[] = "short";
  Check(talvix::platform::WriteWholeFile(file.c_str(), kShorter,
                                         sizeof kShorter - 1),
        "the log file is written again");
  Check(ReadFile(file) == kShorter, "a rewrite replaces the whole file");
  std::string nowhere = std::string(here) + "\\missing-folder\\x.txt";
  Check(!talvix::platform::WriteWholeFile(nowhere.c_str(), "x", 1),
        "a file in a missing folder is a failure");
  Check(talvix::platform::PathSeparator() == '\\', "the folder separator");
}

void TestClock() {
  std::time_t before = std::time(nullptr);
  talvix::platform::CalendarTime now = talvix::platform::UtcNow();
  long long seconds = talvix::platform::NowSeconds();
  std::time_t after = std::time(nullptr);
  Check(seconds >= before - 1 && seconds <= after + 1,
        "seconds since the epoch agree with the C library");
  std::tm utc = *std::gmtime(&before);
  Check(now.year == utc.tm_year + 1900 && now.month == utc.tm_mon + 1 &&
            now.day == utc.tm_mday,
        "the UTC date agrees with the C library");
  int clockMinutes = now.hour * 60 + now.minute;
  int libraryMinutes = utc.tm_hour * 60 + utc.tm_min;
  Check(
      clockMinutes - libraryMinutes >= 0 && clockMinutes - libraryMinutes <= 1,
      "the UTC time of day agrees with the C library");
}

void TestLock() {
  talvix::platform::Lock lock;
  long counter = 0;
  auto work = [&] {
    for (int i = 0; i < 20000; ++i) {
      talvix::platform::LockGuard outer(lock);
      talvix::platform::LockGuard inner(lock);  // the same thread again
      long seen = counter;
      if (i % 1000 == 0) std::this_thread::yield();
      counter = seen + 1;
    }
  };
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) threads.emplace_back(work);
  for (std::thread& thread : threads) thread.join();
  Check(counter == 80000, "the lock keeps four threads' updates apart");
}

// The numbers of the system's TCP options, which older headers lack.
constexpr int kKeepaliveIdle = 3;       // TCP_KEEPALIVE / TCP_KEEPIDLE, seconds
constexpr int kMaxRetransmitTime = 5;   // TCP_MAXRT, seconds
constexpr int kKeepaliveCount = 16;     // TCP_KEEPCNT
constexpr int kKeepaliveInterval = 17;  // TCP_KEEPINTVL, seconds

bool UnderWine() {
  HMODULE ntdll = GetModuleHandleA("ntdll.dll");
  return ntdll != nullptr &&
         GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

// A connected pair on loopback; false when the system gave none.
bool ConnectedPair(SOCKET* client, SOCKET* server) {
  SOCKET listener = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in at{};
  at.sin_family = AF_INET;
  at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int size = sizeof at;
  bool ok = listener != INVALID_SOCKET &&
            bind(listener, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 &&
            listen(listener, 1) == 0 &&
            getsockname(listener, reinterpret_cast<sockaddr*>(&at), &size) == 0;
  *client = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  ok = ok && *client != INVALID_SOCKET &&
       connect(*client, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0;
  *server = ok ? accept(listener, nullptr, nullptr) : INVALID_SOCKET;
  if (listener != INVALID_SOCKET) closesocket(listener);
  return ok && *server != INVALID_SOCKET;
}

// One option read back: checked where the system answers; under wine an
// option that wine does not pass on is said plainly and left unchecked,
// elsewhere it is a failure.
void CheckOption(SOCKET s, int level, int name, DWORD expected,
                 const char* what) {
  DWORD value = 0;
  int size = sizeof value;
  if (getsockopt(s, level, name, reinterpret_cast<char*>(&value), &size) == 0) {
    if (value != expected) {
      ++failures;
      std::fprintf(stderr, "FAILED: %s reads %lu, not %lu\n", what,
                   static_cast<unsigned long>(value),
                   static_cast<unsigned long>(expected));
    }
    return;
  }
  if (UnderWine()) {
    std::printf("NOT CHECKED under wine: %s (getsockopt error %d)\n", what,
                WSAGetLastError());
    return;
  }
  Check(false, what);
}

void TestLinkWatch() {
  WSADATA data;
  Check(WSAStartup(MAKEWORD(2, 2), &data) == 0, "Winsock starts");
  SOCKET client = INVALID_SOCKET, server = INVALID_SOCKET;
  if (!ConnectedPair(&client, &server)) {
    Check(false, "a connected pair of loopback sockets");
    WSACleanup();
    return;
  }
  const talvix::platform::LinkWatch watch =
      talvix::platform::SessionLinkWatch();
  Check(watch.keepIdleMs == 10000 && watch.keepIntervalMs == 5000 &&
            watch.keepProbes == 3 && watch.unackedMs == 30000,
        "the link watch has its fixed values");
  const bool taken =
      talvix::platform::WatchLink(static_cast<std::uintptr_t>(client), watch);
  if (!taken && UnderWine()) {
    // Name what wine refuses, each on a socket of its own: the keepalive
    // times must pass, the bound on unacknowledged data may not.
    SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    tcp_keepalive times{1, 10000, 5000};
    DWORD returned = 0;
    Check(WSAIoctl(probe, SIO_KEEPALIVE_VALS, &times, sizeof times, nullptr, 0,
                   &returned, nullptr, nullptr) == 0,
          "wine takes SIO_KEEPALIVE_VALS");
    const DWORD seconds = 30;
    if (setsockopt(probe, IPPROTO_TCP, kMaxRetransmitTime,
                   reinterpret_cast<const char*>(&seconds),
                   sizeof seconds) != 0)
      std::printf(
          "NOT CHECKED under wine: TCP_MAXRT is refused (error %d), "
          "so WatchLink reports a refused setting\n",
          WSAGetLastError());
    else
      Check(false, "WatchLink takes every setting that wine takes");
    closesocket(probe);
  } else {
    Check(taken, "the system takes every setting of the link watch");
  }
  CheckOption(client, SOL_SOCKET, SO_KEEPALIVE, 1, "SO_KEEPALIVE on");
  CheckOption(client, IPPROTO_TCP, kKeepaliveIdle, 10,
              "keepalive idle time 10 s (SIO_KEEPALIVE_VALS)");
  CheckOption(client, IPPROTO_TCP, kKeepaliveInterval, 5,
              "keepalive interval 5 s (SIO_KEEPALIVE_VALS)");
  CheckOption(client, IPPROTO_TCP, kKeepaliveCount, 3,
              "keepalive probe count 3 (TCP_KEEPCNT)");
  CheckOption(client, IPPROTO_TCP, kMaxRetransmitTime, 30,
              "unacknowledged data bound 30 s (TCP_MAXRT)");
  // The watch leaves a healthy connection as it was.
  char byte = 'x';
  Check(send(client, &byte, 1, 0) == 1 && recv(server, &byte, 1, 0) == 1,
        "the watched connection still carries data");
  closesocket(client);
  closesocket(server);
  WSACleanup();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <roger.exe path> <scratch folder>\n",
                 argv[0]);
    return 2;
  }
  TestRegistry(argv[1]);
  TestStartProgram(argv[1]);
  TestStartProgramByPath(argv[1], argv[2]);
  TestCurrentDirectoryAndFiles(argv[2]);
  TestClock();
  TestLock();
  TestLinkWatch();
  if (failures == 0) std::printf("platform services: all checks passed\n");
  return failures == 0 ? 0 : 1;
}
