// The costs on the paths every received and sent line takes: building a
// line, splitting its fields, and one trip through a queue.
#include <benchmark/benchmark.h>

#include "net/field_reader.h"
#include "net/packet.h"
#include "net/packet_queue.h"

namespace talvix {
namespace {

const char kPilotLine[] = "@N:ABC123:1200:1:48.35340:-122.30920:3400:59:1020:0";

void BM_BuildPositionLine(benchmark::State& state) {
  for (auto _ : state) {
    Packet packet;
    packet.setText("@");
    packet.appendText("N");
    for (const char* field : {"ABC123", "1200", "1", "48.35340", "-122.30920",
                              "3400", "59", "1020", "0"})
      packet.appendField(field);
    benchmark::DoNotOptimize(packet.text());
  }
}
BENCHMARK(BM_BuildPositionLine);

void BM_SplitPilotLine(benchmark::State& state) {
  Packet packet(kPilotLine);
  for (auto _ : state) {
    FieldReader reader(packet.payload());
    int fields = 0;
    while (reader.hasMore()) {
      benchmark::DoNotOptimize(reader.next());
      ++fields;
    }
    benchmark::DoNotOptimize(fields);
  }
}
BENCHMARK(BM_SplitPilotLine);

// A queue normally holds a few packets; popping moves the rest down.
void BM_QueuePushPop(benchmark::State& state) {
  PacketQueue queue;
  const int held = static_cast<int>(state.range(0));
  for (int i = 0; i < held; ++i) queue.push(new Packet(kPilotLine));
  Packet* packet = new Packet(kPilotLine);
  for (auto _ : state) {
    queue.push(packet);
    packet = queue.pop();
  }
  delete packet;
}
BENCHMARK(BM_QueuePushPop)->Arg(0)->Arg(8)->Arg(1024);

}  // namespace
}  // namespace talvix
