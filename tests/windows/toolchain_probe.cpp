// Proves the cross-built Common C++ works on Windows: a worker ost::Thread
// connects to an ost::TCPSocket on loopback and sends one CRLF line, which the
// main thread accepts and checks. Exit code 0 only when the line arrived
// intact.
#include <commoncpp/commoncpp.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

// An address of its own, so the probe never meets another test's server.
const char kAddress[] = "127.0.0.61";
const ost::tpport_t kPort = 16809;

class Client : public ost::Thread {
 public:
  bool sent = false;

 protected:
  void run() override {
    try {
      ost::TCPStream stream(ost::IPV4Host(kAddress), kPort);
      stream << "#APPROBE:SERVER\r\n";
      stream.flush();
      sent = stream.good();
      ost::Thread::sleep(200);  // let the reader take the line before close
    } catch (...) {
      sent = false;
    }
  }
};

}  // namespace

int main() {
  try {
    ost::TCPSocket server(ost::IPV4Address(kAddress), kPort);
    Client client;
    client.start();
    if (!server.isPendingConnection(5000)) {
      std::fprintf(stderr, "probe: no connection within 5 s\n");
      client.join();
      return 1;
    }
    ost::TCPStream peer(server);
    std::string line;
    std::getline(peer, line);
    client.join();
    if (!client.sent || line != "#APPROBE:SERVER\r") {
      std::fprintf(stderr, "probe: got '%s' (sent=%d)\n", line.c_str(),
                   client.sent);
      return 1;
    }
    std::printf("probe: ok\n");
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "probe: exception %s\n", e.what());
  } catch (...) {
    std::fprintf(stderr, "probe: unknown exception\n");
  }
  return 1;
}
