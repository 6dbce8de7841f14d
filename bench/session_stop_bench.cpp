// How long disconnecting takes: stopping the sender and the receiver of a
// connected session, idle and against a server that has stopped reading.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "net/ctx_socket.h"
#include "net/queue_locks.h"
#include "net/session.h"
#include "net/socket_sender.h"
#include "tests/net/loopback_peer.h"

namespace talvix {
namespace {

// Takes only a few kilobytes before it is full, as on a small system.
class SmallSendBufferSession : public CTXSocket {
 public:
  explicit SmallSendBufferSession(const ost::IPV4Host& server)
      : CTXSocket(server) {
    sendBuffer(4096);
  }
};

struct Workers {
  std::unique_ptr<CTXSocket> session;
  std::unique_ptr<SocketSender> sender;
};

template <typename Session = CTXSocket>
Workers Open(talvix::testing::LoopbackPeer& peer, const char* address) {
  CreateQueueLocks();
  Workers w;
  w.session = std::make_unique<Session>(ost::IPV4Host(address));
  w.sender = std::make_unique<SocketSender>(w.session.get());
  w.session->startReceiver();
  w.sender->startSending();
  peer.accept();
  while (!w.session->connected())
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  return w;
}

void Stop(benchmark::State& state, Workers& w) {
  const auto start = std::chrono::steady_clock::now();
  w.sender.reset();
  w.session.reset();
  state.SetIterationTime(
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
          .count());
}

void BM_StopIdleSession(benchmark::State& state) {
  talvix::testing::LoopbackPeer peer("127.0.0.140");
  for (auto _ : state) {
    state.PauseTiming();
    Workers w = Open(peer, "127.0.0.140");
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    state.ResumeTiming();
    Stop(state, w);
  }
}
BENCHMARK(BM_StopIdleSession)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

void BM_StopAgainstAServerThatStoppedReading(benchmark::State& state) {
  talvix::testing::LoopbackPeer peer("127.0.0.141", 4096);
  const std::string filler(1000, 'f');
  for (auto _ : state) {
    state.PauseTiming();
    Workers w = Open<SmallSendBufferSession>(peer, "127.0.0.141");
    for (int i = 0; i < 200; ++i) {
      Packet* p = new Packet();
      p->setText(("#TM" + filler).c_str());
      w.session->queuePacket(p);
    }
    // About 40 lines fill the socket; the receiver then waits for room.
    std::this_thread::sleep_for(std::chrono::milliseconds(2500));
    state.ResumeTiming();
    Stop(state, w);
  }
}
BENCHMARK(BM_StopAgainstAServerThatStoppedReading)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

}  // namespace
}  // namespace talvix
