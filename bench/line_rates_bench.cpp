// How fast lines move between the socket and the queues: the receiver and
// the sender threads of a connected plug-in (paced by their 50 ms and 55 ms
// pauses), and the receiver's line reader alone on a burst, without the
// thread and its pause.
#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <thread>

#include "bench/inside_world.h"
#include "net/ctx_socket.h"
#include "net/queue_locks.h"
#include "net/session.h"

namespace talvix::bench {
namespace {

constexpr int kBurst = 100;

// A peer sends a burst of lines; the figure is the time until the receiver
// thread has queued all of them. Nothing is handled meanwhile.
void ReceiveRate(benchmark::State& state) {
  InsideWorld& world = InsideWorld::Get();
  if (!world.ready()) return state.SkipWithError("the plug-in did not connect");
  double seconds = 0;
  for (auto _ : state) {
    world.handleAll();
    std::string burst;
    for (int i = 0; i < kBurst; ++i)
      burst += "#DLBENCH" + std::to_string(i) + "\r\n";
    const auto start = std::chrono::steady_clock::now();
    world.peer().send(burst);
    while (world.received() < kBurst)
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
            .count();
    state.SetIterationTime(seconds);
    world.handleAll();
  }
  state.counters["lines_per_s"] = kBurst / seconds;
}
BENCHMARK(ReceiveRate)
    ->Name("Threads/ReceiveRate/lines:100")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);

// The sender drains 100 queued lines; the figure is the time until the peer
// has read the last of them.
void SendRate(benchmark::State& state) {
  InsideWorld& world = InsideWorld::Get();
  if (!world.ready()) return state.SkipWithError("the plug-in did not connect");
  double seconds = 0;
  for (auto _ : state) {
    world.dropOutgoing();
    while (world.peer().readLine(200).has_value()) {
    }
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kBurst; ++i) {
      Packet* line = new Packet();
      line->setText(("#TMABC:*:line " + std::to_string(i)).c_str());
      currentSession()->queuePacket(line);
    }
    int read = 0;
    while (read < kBurst && world.peer().readLine(5000).has_value()) ++read;
    seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
            .count();
    if (read < kBurst) state.SkipWithError("the peer missed lines");
    state.SetIterationTime(seconds);
  }
  state.counters["lines_per_s"] = kBurst / seconds;
}
BENCHMARK(SendRate)
    ->Name("Threads/SendRate/lines:100")
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(3);

// The receiver's reader and packet step, driven without the thread.
class ReaderProbe : public CTXSocket {
 public:
  using CTXSocket::CTXSocket;
  using CTXSocket::deliverLine;
  using CTXSocket::readLine;
};

void LineReaderBurst(benchmark::State& state) {
  constexpr int kLines = 1000;
  constexpr char kAddress[] = "127.0.0.244";
  CreateQueueLocks();
  testing::LoopbackPeer peer(kAddress);
  ReaderProbe reader{ost::IPV4Host(kAddress)};
  if (!peer.accept()) return state.SkipWithError("no connection");
  std::string burst;
  for (int i = 0; i < kLines; ++i)
    burst += PilotLine(PilotCallsign(i), i) + "\r\n";
  for (auto _ : state) {
    peer.send(burst);
    int lines = 0;
    state.SetIterationTime(Seconds([&] {
      while (lines < kLines) {
        if (reader.readLine()) {
          reader.deliverLine();
          ++lines;
        }
      }
    }));
    platform::LockGuard hold(IncomingLock());
    while (Packet* packet = reader.incoming().pop()) delete packet;
  }
  state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(LineReaderBurst)
    ->Name("Inside/LineReader/lines:1000")
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond)
    ->MinTime(0.2);

}  // namespace
}  // namespace talvix::bench
