// What a pilot sees on a busy network: a peer sends "@" for every one of
// N pilots every five seconds, spread evenly, through the real receiver of
// the connected plug-in, while the host idles at 60 frames a second. The
// figures: how old a position is when its AI object stands there (from
// the peer's send), lines dropped, and what each idle call costs, the
// plug-in's own part apart from the host's slots. And what the network sees
// of the user while a crowd comes into range: N new pilots within one
// second, each bringing two "#TX" requests that keep the sender busy for
// N/9 seconds; the figure is how long each own report takes from its tick
// to the peer. A run lasts a minute (TALVIX_BENCH_SECONDS sets another
// length).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "bench/inside_world.h"

namespace talvix::bench {
namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kFrame = std::chrono::microseconds(16667);
constexpr double kReportSeconds = 5.0;

double RunSeconds() {
  const char* text = std::getenv("TALVIX_BENCH_SECONDS");
  const double seconds = text ? std::atof(text) : 60.0;
  return seconds > 0 ? seconds : 60.0;
}

std::string CrowdCallsign(int n) {
  char text[16];
  std::snprintf(text, sizeof text, "Q%05d", n);
  return text;
}

struct Report {
  int altitude = 0;  // tells one report of a pilot from the next
  Clock::time_point sentAt;
  bool shown = true;
};

// The processor time this thread has used.
double ThreadCpuSeconds() {
  timespec now{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec + now.tv_nsec * 1e-9;
}

double Percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[std::min(values.size() - 1,
                         static_cast<std::size_t>(p * values.size()))];
}

void PositionAge(benchmark::State& state, int pilots) {
  InsideWorld& world = InsideWorld::Get();
  if (!world.ready()) return state.SkipWithError("the plug-in did not connect");
  world.holdPilots(0);
  currentSession()->takeDroppedIncoming();
  std::vector<double> ages, total, plugin, host, cpu;
  for (auto _ : state) {
    std::mutex lock;
    std::vector<Report> sent(pilots);
    std::atomic<bool> stop{false};
    const auto start = Clock::now();
    const double runSeconds = RunSeconds();
    // The peer: pilot i reports at i/N of each five seconds.
    std::thread peer([&] {
      for (long k = 0; !stop; ++k) {
        const int pilot = static_cast<int>(k % pilots);
        const long round = k / pilots;
        const auto due =
            start + std::chrono::duration_cast<Clock::duration>(
                        std::chrono::duration<double>(
                            kReportSeconds * (round + double(pilot) / pilots)));
        while (Clock::now() < due && !stop) {
          while (world.peer().readLine(2)) {
          }
        }
        const int altitude = 3000 + static_cast<int>(round % 1000);
        char line[128];
        std::snprintf(
            line, sizeof line, "@N:%s:1200:1:%.5f:%.5f:%d:120:0:0\r\n",
            CrowdCallsign(pilot).c_str(), kUserLatitude + 0.01 * (pilot % 100),
            kUserLongitude + 0.01 * (pilot / 100), altitude);
        {
          std::lock_guard<std::mutex> hold(lock);
          sent[pilot] = {altitude, Clock::now(), false};
        }
        world.peer().send(line);
      }
    });
    auto last = Clock::now();
    while (Clock::now() - start < std::chrono::duration<double>(runSeconds)) {
      std::this_thread::sleep_until(last + kFrame);
      const auto now = Clock::now();
      const float dt = std::chrono::duration<float>(now - last).count();
      last = now;
      const sim::HostModel::SlotTime before = world.model().slotTime();
      const double cpuBefore = ThreadCpuSeconds();
      const double seconds = Seconds([&] { world.idleOnce(dt); });
      cpu.push_back(ThreadCpuSeconds() - cpuBefore);
      const sim::HostModel::SlotTime after = world.model().slotTime();
      const double inHost = (after.nanoseconds - before.nanoseconds) * 1e-9;
      total.push_back(seconds);
      host.push_back(inHost);
      plugin.push_back(
          PluginSeconds(seconds, inHost, after.calls - before.calls));
      // Which reports the objects now show.
      const auto seen = Clock::now();
      std::lock_guard<std::mutex> hold(lock);
      world.model().read([&](const sim::HostState& s) {
        for (const sim::SimObject& o : s.objects) {
          if (o.names[0].size() != 6 || o.names[0][0] != 'Q') continue;
          Report& r = sent[std::atoi(o.names[0].c_str() + 1)];
          if (r.shown || static_cast<int>(o.position.alt) != r.altitude)
            continue;
          r.shown = true;
          ages.push_back(
              std::chrono::duration<double>(seen - r.sentAt).count());
        }
        return 0;
      });
    }
    stop = true;
    peer.join();
    state.SetIterationTime(runSeconds);
  }
  state.counters["age_median_s"] = Percentile(ages, 0.5);
  state.counters["age_worst_s"] = Percentile(ages, 1.0);
  state.counters["positions_shown"] = static_cast<double>(ages.size());
  state.counters["dropped"] = currentSession()->takeDroppedIncoming();
  state.counters["idle_median_us"] = 1e6 * Percentile(total, 0.5);
  state.counters["idle_worst_us"] = 1e6 * Percentile(total, 1.0);
  // The thread's own processor time: far below the elapsed worst, the
  // worst call waited for the processor rather than worked.
  state.counters["idle_worst_cpu_us"] = 1e6 * Percentile(cpu, 1.0);
  state.counters["plugin_median_us"] = 1e6 * Percentile(plugin, 0.5);
  state.counters["plugin_worst_us"] = 1e6 * Percentile(plugin, 1.0);
  state.counters["host_worst_us"] = 1e6 * Percentile(host, 1.0);
  state.counters["pilots"] = pilots;
  world.handleAll();
  world.holdPilots(0);
  world.dropOutgoing();
}

std::string NewcomerCallsign(int n) {
  char text[16];
  std::snprintf(text, sizeof text, "B%05d", n);
  return text;
}

void OwnReportDelay(benchmark::State& state, int pilots) {
  InsideWorld& world = InsideWorld::Get();
  if (!world.ready()) return state.SkipWithError("the plug-in did not connect");
  world.holdPilots(0);
  while (world.peer().readLine(100)) {
  }
  std::vector<double> delays;
  int requests = 0;
  int waiting = 0;
  for (auto _ : state) {
    std::mutex lock;
    std::vector<Clock::time_point> reportsAt;
    std::atomic<int> requestsSeen{0};
    std::atomic<bool> stop{false};
    // Ends the tick the timer is in, so the ticks from here on are counted
    // as the plug-in counts them: five seconds of idle time each.
    world.idleOnce(6.0f);
    std::vector<Clock::time_point> ticks{Clock::now()};
    float positionTimer = 5.0f;
    const auto start = Clock::now();
    const double runSeconds = RunSeconds();
    // The peer: pilot i reports at i/N of the first second, then at i/N of
    // every five seconds; it reads what the plug-in sends meanwhile.
    std::thread peer([&] {
      const auto take = [&](const std::string& line) {
        if (line.rfind("@", 0) == 0) {
          std::lock_guard<std::mutex> hold(lock);
          reportsAt.push_back(Clock::now());
        } else if (line.rfind("#TX", 0) == 0) {
          ++requestsSeen;
        }
      };
      for (long k = 0; !stop; ++k) {
        const long round = k / pilots;
        const double part = double(k % pilots) / pilots;
        const auto due =
            start +
            std::chrono::duration_cast<Clock::duration>(
                std::chrono::duration<double>(
                    round == 0 ? part : kReportSeconds * (round + part)));
        while (Clock::now() < due && !stop)
          if (auto line = world.peer().readLine(2)) take(*line);
        const int pilot = static_cast<int>(k % pilots);
        char line[128];
        std::snprintf(line, sizeof line,
                      "@N:%s:1200:1:%.5f:%.5f:3000:120:0:0\r\n",
                      NewcomerCallsign(pilot).c_str(),
                      kUserLatitude + 0.01 * (pilot % 100),
                      kUserLongitude + 0.01 * (pilot / 100));
        world.peer().send(line);
      }
      // The last tick's report may still be on its way.
      const auto end = Clock::now() + std::chrono::seconds(2);
      while (Clock::now() < end)
        if (auto line = world.peer().readLine(50)) take(*line);
    });
    auto last = Clock::now();
    while (Clock::now() - start < std::chrono::duration<double>(runSeconds)) {
      std::this_thread::sleep_until(last + kFrame);
      const auto now = Clock::now();
      const float dt = std::chrono::duration<float>(now - last).count();
      last = now;
      positionTimer -= dt;
      if (positionTimer < 0.0f) {
        positionTimer = 5.0f;
        ticks.push_back(now);
      }
      world.idleOnce(dt);
    }
    stop = true;
    peer.join();
    state.SetIterationTime(runSeconds);
    if (reportsAt.size() != ticks.size())
      return state.SkipWithError("a tick sent no report, or more than one");
    for (std::size_t i = 0; i < ticks.size(); ++i)
      delays.push_back(
          std::chrono::duration<double>(reportsAt[i] - ticks[i]).count());
    requests = requestsSeen;
    platform::LockGuard hold(OutgoingLock());
    waiting = currentSession()->outgoing().count();
  }
  state.counters["report_delay_median_ms"] = 1e3 * Percentile(delays, 0.5);
  state.counters["report_delay_worst_ms"] = 1e3 * Percentile(delays, 1.0);
  state.counters["reports"] = static_cast<double>(delays.size());
  state.counters["requests_sent"] = requests;
  state.counters["requests_waiting"] = waiting;
  state.counters["pilots"] = pilots;
  world.handleAll();
  world.holdPilots(0);
  world.dropOutgoing();
}

// One run of a minute (or TALVIX_BENCH_SECONDS) per crowd size.
void RegisterRun(const std::string& name, void (*run)(benchmark::State&, int),
                 int pilots) {
  benchmark::RegisterBenchmark((name + std::to_string(pilots)).c_str(), run,
                               pilots)
      ->UseManualTime()
      ->Unit(benchmark::kSecond)
      ->Iterations(1)
      ->Repetitions(1);
}

}  // namespace

void RegisterCrowdBenchmarks() {
  for (int pilots : {50, 200, 1000, 3000})
    RegisterRun("Crowd/PositionAge/pilots:", PositionAge, pilots);
  for (int pilots : {1000, 3000})
    RegisterRun("Crowd/OwnReportDelay/new_pilots:", OwnReportDelay, pilots);
}

}  // namespace talvix::bench
