#include "sim/tui/connection_light.h"

#include <arpa/inet.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace sim::tui {
namespace {

constexpr const char* kEstablished = "01";

bool HexWord(const std::string& text, std::uint32_t* out) {
  if (text.size() != 8) return false;
  char* end = nullptr;
  const unsigned long value = std::strtoul(text.c_str(), &end, 16);
  if (*end != '\0') return false;
  *out = static_cast<std::uint32_t>(value);
  return true;
}

// "0100007F:1A99" (an IPv4 word as the kernel stores it) or 32 hex digits
// of four such words (IPv6), a colon and the port in hex.
bool Endpoint(const std::string& field, std::string* out) {
  const std::size_t colon = field.find(':');
  if (colon == std::string::npos || colon + 1 >= field.size()) return false;
  const std::string address = field.substr(0, colon);
  const std::string portText = field.substr(colon + 1);
  char* end = nullptr;
  const unsigned long port = std::strtoul(portText.c_str(), &end, 16);
  if (*end != '\0' || portText.size() > 4) return false;
  if (address.size() != 8 && address.size() != 32) return false;
  std::uint32_t words[4] = {};
  const std::size_t count = address.size() / 8;
  for (std::size_t i = 0; i < count; ++i)
    if (!HexWord(address.substr(i * 8, 8), &words[i])) return false;
  char text[INET6_ADDRSTRLEN] = {};
  // The words are in the kernel's byte order, which is this machine's.
  const bool mapped = count == 4 && words[0] == 0 && words[1] == 0 &&
                      words[2] == htonl(0xFFFFu);
  if (count == 1 || mapped) {
    in_addr v4{};
    v4.s_addr = words[count == 1 ? 0 : 3];
    if (!inet_ntop(AF_INET, &v4, text, sizeof text)) return false;
    *out = std::string(text) + ":" + std::to_string(port);
  } else {
    in6_addr v6{};
    static_assert(sizeof v6 == sizeof words);
    std::memcpy(&v6, words, sizeof v6);
    if (!inet_ntop(AF_INET6, &v6, text, sizeof text)) return false;
    *out = "[" + std::string(text) + "]:" + std::to_string(port);
  }
  return true;
}

std::string ReadFile(const char* path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

std::vector<std::string> EstablishedPeers(
    const std::string& table, const std::set<unsigned long>& inodes) {
  std::vector<std::string> peers;
  std::istringstream lines(table);
  std::string line;
  while (std::getline(lines, line)) {
    // sl local remote state queues timer retransmits uid timeout inode
    std::istringstream fields(line);
    std::string slot, local, remote, state, queues, timer, retransmits, uid,
        timeout, inodeText;
    if (!(fields >> slot >> local >> remote >> state >> queues >> timer >>
          retransmits >> uid >> timeout >> inodeText))
      continue;
    if (state != kEstablished) continue;
    char* end = nullptr;
    const unsigned long inode = std::strtoul(inodeText.c_str(), &end, 10);
    if (*end != '\0' || !inodes.count(inode)) continue;
    std::string peer;
    if (Endpoint(remote, &peer)) peers.push_back(peer);
  }
  return peers;
}

std::set<unsigned long> OwnSocketInodes() {
  std::set<unsigned long> inodes;
  std::error_code ec;
  for (const auto& entry :
       std::filesystem::directory_iterator("/proc/self/fd", ec)) {
    std::error_code linkError;
    const std::string target =
        std::filesystem::read_symlink(entry.path(), linkError).string();
    // "socket:[12345]"
    if (linkError || target.rfind("socket:[", 0) != 0) continue;
    inodes.insert(std::strtoul(target.c_str() + 8, nullptr, 10));
  }
  return inodes;
}

std::vector<std::string> OwnConnections() {
  const std::set<unsigned long> inodes = OwnSocketInodes();
  if (inodes.empty()) return {};
  std::vector<std::string> peers =
      EstablishedPeers(ReadFile("/proc/self/net/tcp"), inodes);
  for (std::string& peer :
       EstablishedPeers(ReadFile("/proc/self/net/tcp6"), inodes))
    peers.push_back(std::move(peer));
  return peers;
}

}  // namespace sim::tui
