// The idle call and the five-second tick at every table size, through the
// plug-in's own idle callback in the stand-in host's model. The lines are
// handed to the incoming queue directly (the receiver would take 50 ms a
// line), so each figure is the cost of the one idle call that handles it.
// Names start with "Inside/" because the table is filled and aged from the
// inside; the "Plugin/" figures take the same steps through the loaded
// library and the real receiver.
#include <benchmark/benchmark.h>

#include <string>

#include "bench/inside_world.h"

namespace talvix::bench {
namespace {

constexpr float kTick = 5.01f;  // one idle call that fires the position step
constexpr double kMinSeconds = 0.2;

InsideWorld* Ready(benchmark::State& state, int pilots) {
  InsideWorld& world = InsideWorld::Get();
  if (!world.ready()) {
    state.SkipWithError("the plug-in did not connect");
    return nullptr;
  }
  world.holdPilots(pilots);
  return &world;
}

void Label(benchmark::State& state, InsideWorld& world) {
  state.counters["pilots"] = world.pilots();
}

void IdleNothingReceived(benchmark::State& state, int pilots) {
  InsideWorld* world = Ready(state, pilots);
  if (world == nullptr) return;
  for (auto _ : state) world->idleOnce(0.0f);
  Label(state, *world);
}

// One idle call of dt, timed whole, with the time inside the host's slots
// and the plug-in's own part.
struct TimedCall {
  double seconds = 0;
  double inHost = 0;
  double plugin = 0;
};

TimedCall TimeIdleOnce(InsideWorld& world, float dt) {
  const sim::HostModel::SlotTime start = world.model().slotTime();
  const double seconds = Seconds([&] { world.idleOnce(dt); });
  const sim::HostModel::SlotTime end = world.model().slotTime();
  const double inHost = (end.nanoseconds - start.nanoseconds) * 1e-9;
  return {seconds, inHost,
          PluginSeconds(seconds, inHost, end.calls - start.calls)};
}

// One idle call of dt per iteration, timed; before and after run untimed
// around it with the world and the iteration's step.
template <typename Before, typename After>
void TimeIdleCall(benchmark::State& state, int pilots, float dt, Before before,
                  After after) {
  InsideWorld* world = Ready(state, pilots);
  if (world == nullptr) return;
  int step = 0;
  double host = 0, plugin = 0;
  for (auto _ : state) {
    before(*world, ++step);
    const TimedCall call = TimeIdleOnce(*world, dt);
    state.SetIterationTime(call.seconds);
    host += call.inHost;
    plugin += call.plugin;
    after(*world, step);
  }
  // The plug-in's own part and the host's slots apart.
  state.counters["host_ns"] = 1e9 * host / state.iterations();
  state.counters["plugin_ns"] = 1e9 * plugin / state.iterations();
  Label(state, *world);
}

void Nothing(InsideWorld&, int) {}

// A report of a pilot already held (the first pilot when the table is empty
// would be new, so that size holds one).
void IdleHandlesKnownPilot(benchmark::State& state, int pilots) {
  const auto known = [](InsideWorld& world, int step) {
    world.receive(PilotLine(PilotCallsign(step % world.pilots()), step));
  };
  TimeIdleCall(state, pilots > 0 ? pilots : 1, 0.0f, known, Nothing);
}

// A pilot never seen: its record, its simulator object, its popup item and
// the two "#TX" requests. It leaves again untimed (out of range).
void IdleHandlesNewPilot(benchmark::State& state, int pilots) {
  const auto callsign = [](int step) { return "NEW" + std::to_string(step); };
  TimeIdleCall(
      state, pilots, 0.0f,
      [&](InsideWorld& world, int step) {
        world.receive(PilotLine(callsign(step), step));
      },
      [&](InsideWorld& world, int step) {
        world.receive(PilotLine(callsign(step), step, true));
        world.idleOnce(0.0f);
        world.dropOutgoing();
      });
}

// A "%" line of one of the listed controllers.
void IdleHandlesControllerLine(benchmark::State& state, int pilots) {
  const auto controller = [](InsideWorld& world, int step) {
    world.receive(ControllerLine(step % kControllersListed));
  };
  TimeIdleCall(state, pilots, 0.0f, controller, Nothing);
}

// The five-second step: the own report, station expiry and traffic ageing,
// with every pilot and controller still heard from.
void TickNobodyExpiring(benchmark::State& state, int pilots) {
  TimeIdleCall(
      state, pilots, kTick,
      [](InsideWorld& world, int) {
        world.setPilotTicksLeft(kTrafficTtl);
        world.setControllerTicksLeft(kAtcTtl);
      },
      [](InsideWorld& world, int) { world.dropOutgoing(); });
}

// The same step when every pilot and controller has gone quiet: all of
// them are removed, each with its history line and popup item (and a pilot
// with its simulator object). Both lists are filled again untimed.
void TickEverybodyExpiring(benchmark::State& state, int pilots) {
  InsideWorld* world = Ready(state, pilots);
  if (world == nullptr) return;
  int removed = 0;
  double host = 0, plugin = 0, outside = 0;
  for (auto _ : state) {
    world->holdPilots(pilots);
    world->listControllers();
    world->setPilotTicksLeft(1);
    world->setControllerTicksLeft(1);
    const int before = world->pilots() + world->controllers();
    const TimedCall call = TimeIdleOnce(*world, kTick);
    state.SetIterationTime(call.seconds);
    host += call.inHost;
    outside += call.seconds - call.inHost;
    plugin += call.plugin;
    removed += before - world->pilots() - world->controllers();
    world->dropOutgoing();
  }
  state.counters["removed"] =
      benchmark::Counter(removed, benchmark::Counter::kAvgIterations);
  state.counters["host_ms"] = 1e3 * host / state.iterations();
  state.counters["plugin_ms"] = 1e3 * plugin / state.iterations();
  // Without taking the host's timing out: an upper bound.
  state.counters["outside_host_ms"] = 1e3 * outside / state.iterations();
  // What was taken out for each host call, beyond the time the host counts.
  state.counters["slot_timing_ns"] = 1e9 * SlotTimingSeconds();
  world->holdPilots(pilots);
}

// The process's resident size while connected, with 0 and then 1000
// pilots held (each with its simulator object in the host).
void ResidentSize(benchmark::State& state) {
  InsideWorld* world = Ready(state, 0);
  if (world == nullptr) return;
  long empty = 0, full = 0;
  for (auto _ : state) {
    world->holdPilots(0);
    empty = ResidentKilobytes();
    world->holdPilots(1000);
    full = ResidentKilobytes();
  }
  state.counters["rss_kB_0_pilots"] = empty;
  state.counters["rss_kB_1000_pilots"] = full;
  state.counters["bytes_per_pilot"] = (full - empty) * 1024.0 / 1000;
}

std::string Name(const char* what, int pilots) {
  return std::string("Inside/") + what + "/pilots:" + std::to_string(pilots);
}

template <typename F>
benchmark::internal::Benchmark* Register(const char* what, int pilots, F fn) {
  return benchmark::RegisterBenchmark(Name(what, pilots).c_str(), fn, pilots);
}

// Registered in this order: the memory figure first, while the process has
// not yet held a large table, then the sizes from small to large.
const bool kRegistered = [] {
  benchmark::RegisterBenchmark("Inside/ResidentSize", ResidentSize)
      ->Iterations(1)
      ->Repetitions(1);
  for (int pilots : kTableSizes) {
    Register("IdleNothingReceived", pilots, IdleNothingReceived)
        ->MinTime(kMinSeconds);
    Register("IdleHandlesKnownPilot", pilots, IdleHandlesKnownPilot)
        ->UseManualTime()
        ->MinTime(kMinSeconds);
    Register("IdleHandlesNewPilot", pilots, IdleHandlesNewPilot)
        ->UseManualTime()
        ->MinTime(kMinSeconds);
    Register("IdleHandlesControllerLine", pilots, IdleHandlesControllerLine)
        ->UseManualTime()
        ->MinTime(kMinSeconds);
    Register("TickNobodyExpiring", pilots, TickNobodyExpiring)
        ->UseManualTime()
        ->MinTime(kMinSeconds);
    Register("TickEverybodyExpiring", pilots, TickEverybodyExpiring)
        ->UseManualTime()
        ->Iterations(3);
  }
  // The table's whole size, for a known pilot's line and the tick.
  Register("IdleHandlesKnownPilot", 10000, IdleHandlesKnownPilot)
      ->UseManualTime()
      ->MinTime(kMinSeconds);
  Register("TickEverybodyExpiring", 10000, TickEverybodyExpiring)
      ->UseManualTime()
      ->Iterations(3);
  RegisterCrowdBenchmarks();
  return true;
}();

}  // namespace
}  // namespace talvix::bench
