// The plug-in runs in the test's process: its session socket can be found
// among the process's descriptors by its far end.
#pragma once

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdlib>
#include <string>

namespace talvix::testing {

// The descriptor of this process's TCP socket whose far end is the address
// at port 6809; -1 when there is none.
inline int PluginSocketTo(const std::string& address) {
  DIR* fds = opendir("/proc/self/fd");
  if (fds == nullptr) return -1;
  int found = -1;
  while (dirent* entry = readdir(fds)) {
    if (entry->d_name[0] == '.') continue;
    const int fd = std::atoi(entry->d_name);
    sockaddr_in far{};
    socklen_t size = sizeof far;
    if (getpeername(fd, reinterpret_cast<sockaddr*>(&far), &size) != 0 ||
        far.sin_family != AF_INET || ntohs(far.sin_port) != 6809)
      continue;
    char text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &far.sin_addr, text, sizeof text);
    if (address == text) found = fd;
  }
  closedir(fds);
  return found;
}

}  // namespace talvix::testing
