// The panel's network light: whether this process holds an established TCP
// connection, read from the process's own sockets (Linux /proc), and to
// which address and port.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace sim::tui {

// The remote ends ("127.0.0.1:6809") of the established connections in a
// /proc net/tcp or net/tcp6 table whose socket inode is one of inodes.
// Lines that do not parse are skipped.
std::vector<std::string> EstablishedPeers(
    const std::string& table, const std::set<unsigned long>& inodes);

// The inodes of the sockets among this process's open files.
std::set<unsigned long> OwnSocketInodes();

// The remote ends of this process's established TCP connections; empty
// where /proc cannot be read.
std::vector<std::string> OwnConnections();

}  // namespace sim::tui
