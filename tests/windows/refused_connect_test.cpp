// A session whose server refuses the connection must give up at once, as on
// Linux, and not sit out the 60 s connect wait: the plug-in's disconnect
// joins that thread on the simulator's thread. Windows reports the refusal
// only in select's exception set, which the cross-built Common C++ watches
// (cmake/ucommon-mingw/0002-failed-connect-ends-wait.patch).
#include <commoncpp/commoncpp.h>

#include <atomic>
#include <cstdio>

namespace {

// Nothing listens here: the connect is refused.
const char kAddress[] = "127.0.0.65";
const ost::tpport_t kPort = 16810;

class ProbeSession : public ost::TCPSession {
 public:
  ProbeSession() : ost::TCPSession(ost::IPV4Host(kAddress), kPort) {}
  ~ProbeSession() override { ost::Thread::join(); }

  std::atomic<bool> done{false};
  std::atomic<int> result{0};

 protected:
  void initial() override {
    result = waitConnection(60000);
    done = true;
  }
  void run() override {}
};

}  // namespace

int main() {
  ProbeSession session;
  session.start();
  // Far below the 60 s connect wait, far above a loaded machine's refusal.
  for (int i = 0; i < 200 && !session.done; ++i) ost::Thread::sleep(100);
  if (!session.done) {
    std::fprintf(stderr, "refused connect: still waiting after 20 s\n");
    std::fflush(stderr);
    _Exit(1);  // the thread would hold the destructor for the full wait
  }
  if (session.result == 0) {
    std::fprintf(stderr, "refused connect: reported as connected\n");
    return 1;
  }
  std::printf("refused connect: failed at once\n");
  return 0;
}
