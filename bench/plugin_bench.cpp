// The same idle calls through the loaded plug-in library in the stand-in
// host, fed by a loopback peer through the real receiver: nothing is reached
// inside. The receiver takes 50 ms a line, so these figures are taken at the
// table sizes a peer fills quickly, each line timed in the one idle call
// that handles it.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "bench/bench_world.h"
#include "sim/host_table.h"
#include "sim/sim.h"
#include "tests/net/loopback_peer.h"
#include "tests/support/plugin_fixture.h"

namespace talvix::bench {
namespace {

constexpr char kAddress[] = "127.0.0.243";
// Longer than one receiver cycle: the line is queued when the idle call
// that is timed runs.
constexpr auto kReceiverCycle = std::chrono::milliseconds(80);

class PluginWorld {
 public:
  static PluginWorld& Get() {
    static std::unique_ptr<PluginWorld> world(new PluginWorld);
    sim::SetActiveModel(&world->sim_->model());
    return *world;
  }
  ~PluginWorld() {
    sim_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }
  bool ready() const { return ready_; }
  sim::Simulator& host() { return *sim_; }
  int pilots() const {
    return sim_->model().read(
        [](const sim::HostState& s) { return int(s.objects.size()); });
  }
  // The peer sends the reports of new pilots until n are held.
  bool holdPilots(int n) {
    std::string burst;
    for (int i = pilots(); i < n; ++i)
      burst += PilotLine(PilotCallsign(i), i) + "\r\n";
    peer_.send(burst);
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::milliseconds(100 * n + 5000);
    while (pilots() < n && std::chrono::steady_clock::now() < deadline) {
      sim_->idleOnce(0.0f);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return pilots() == n;
  }
  void send(const std::string& line) { peer_.send(line + "\r\n"); }

 private:
  PluginWorld() : peer_(kAddress) {
    root_ = testing::MakeSimulatorRoot();
    sim_ = std::make_unique<sim::Simulator>(root_);
    if (!sim_->loadPlugin(TALVIX_PLUGIN_PATH, true)) return;
    PrepareHost(sim_->model());
    ready_ = ConnectThroughWindows(*sim_, peer_, kAddress);
    for (int i = 0; ready_ && i < kControllersListed; ++i)
      send(ControllerLine(i));
    // The receiver takes them one per cycle; they are handled before
    // anything is timed.
    for (int i = 0; ready_ && i < 2 * kControllersListed; ++i) {
      sim_->idleOnce(0.0f);
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
  }

  testing::LoopbackPeer peer_;
  std::string root_;
  std::unique_ptr<sim::Simulator> sim_;
  bool ready_ = false;
};

PluginWorld* Ready(benchmark::State& state, int pilots) {
  PluginWorld& world = PluginWorld::Get();
  if (!world.ready() || !world.holdPilots(pilots)) {
    state.SkipWithError("the plug-in did not connect or fill");
    return nullptr;
  }
  return &world;
}

void IdleNothingReceived(benchmark::State& state, int pilots) {
  PluginWorld* world = Ready(state, pilots);
  if (world == nullptr) return;
  for (auto _ : state) world->host().idleOnce(0.0f);
  state.counters["pilots"] = world->pilots();
}

// One line per iteration from the peer, timed in the idle call that
// handles it.
template <typename Line>
void IdleHandlesReceived(benchmark::State& state, int pilots, Line line) {
  PluginWorld* world = Ready(state, pilots);
  if (world == nullptr) return;
  int step = 0;
  for (auto _ : state) {
    world->send(line(++step));
    std::this_thread::sleep_for(kReceiverCycle);
    state.SetIterationTime(Seconds([&] { world->host().idleOnce(0.0f); }));
  }
  state.counters["pilots"] = world->pilots();
}

void IdleHandlesKnownPilot(benchmark::State& state, int pilots) {
  IdleHandlesReceived(state, pilots, [pilots](int step) {
    return PilotLine(PilotCallsign(step % pilots), step);
  });
}

void IdleHandlesControllerLine(benchmark::State& state, int pilots) {
  IdleHandlesReceived(state, pilots, [](int step) {
    return ControllerLine(step % kControllersListed);
  });
}

const bool kRegistered = [] {
  using F = void (*)(benchmark::State&, int);
  const std::pair<const char*, F> timedLines[] = {
      {"IdleHandlesKnownPilot", IdleHandlesKnownPilot},
      {"IdleHandlesControllerLine", IdleHandlesControllerLine}};
  for (int pilots : {1, 100}) {
    const std::string size = "/pilots:" + std::to_string(pilots);
    benchmark::RegisterBenchmark(("Plugin/IdleNothingReceived" + size).c_str(),
                                 IdleNothingReceived, pilots)
        ->MinTime(0.2);
    for (const auto& [what, fn] : timedLines)
      benchmark::RegisterBenchmark(
          ("Plugin/" + std::string(what) + size).c_str(), fn, pilots)
          ->UseManualTime()
          ->Iterations(20);
  }
  return true;
}();

}  // namespace
}  // namespace talvix::bench
