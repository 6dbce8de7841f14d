// What the plug-in benchmarks share: the lines a peer sends, the way a host
// connects the plug-in through its windows, and the process's resident size.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <thread>

#include "core/fourcc.h"
#include "core/host_services.h"
#include "sim/host_model.h"
#include "sim/host_table.h"
#include "tests/net/loopback_peer.h"

namespace talvix::bench {

// The sizes of the traffic table the idle and tick figures are taken at.
constexpr int kTableSizes[] = {0, 100, 1000, 5000};
constexpr int kControllersListed = 50;
// Pilots sit near the user, well inside this range (nautical miles).
constexpr int kRangeMiles = 100;
constexpr double kUserLatitude = 0.0;
constexpr double kUserLongitude = 10.0;

inline std::string PilotCallsign(int n) {
  char text[16];
  std::snprintf(text, sizeof text, "P%05d", n);
  return text;
}

// A pilot's "@" line; step moves it a little so every report is new.
// Far lines are out of range and remove the pilot.
inline std::string PilotLine(const std::string& callsign, int step,
                             bool far = false) {
  char text[128];
  std::snprintf(text, sizeof text, "@N:%s:1200:1:%.5f:%.5f:%d:120:1020:0",
                callsign.c_str(),
                far ? 20.0 : kUserLatitude + 0.0001 * (step % 1000),
                kUserLongitude, 3000 + step % 500);
  return text;
}

inline std::string ControllerCallsign(int n) {
  char text[16];
  std::snprintf(text, sizeof text, "C%02d_CTR", n);
  return text;
}

// A controller's "%" line: callsign, frequency, facility, rating, range.
inline std::string ControllerLine(int n) {
  char text[96];
  std::snprintf(text, sizeof text, "%%%s:%05d:4:100:3:0.00000:10.00000:0",
                ControllerCallsign(n).c_str(), 18000 + 25 * n);
  return text;
}

// The process's resident size in kilobytes (VmRSS), 0 when unknown.
inline long ResidentKilobytes() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "VmRSS:") {
      long kb = 0;
      status >> kb;
      return kb;
    }
    status.ignore(4096, '\n');
  }
  return 0;
}

// The settings a benchmark host starts with: no weather requests, and
// every pilot in range.
inline void PrepareHost(sim::HostModel& model) {
  model.setSetting("Talvix", "AutoWeather", "0");
  model.setSetting("Talvix", "MPDistance", std::to_string(kRangeMiles));
  model.modify([](sim::HostState& s) {
    s.user.position = {kUserLatitude * 3600, kUserLongitude * 3600, 3000};
  });
}

// Opens the main window and connects as ABC to the peer's address through
// the connect window, as a user does. Host offers menuSelect, windowEvent,
// userClose, model() and idleOnce, like sim::Simulator.
template <typename Host>
bool ConnectThroughWindows(Host& host, testing::LoopbackPeer& peer,
                           const std::string& address) {
  constexpr int kServerItem = 7;
  const auto code = [](const char(&text)[5]) { return FourCC(text); };
  const auto id = [](std::uint32_t c) { return static_cast<int>(c); };
  if (!peer.listening() || !host.menuSelect(code("plug"), code("txMN")))
    return false;
  host.windowEvent(code("txMN"), code("cnmn"), code("slct"), id(code("conn")));
  if (host.model().isWindowOpen(id(code("txAC")))) host.userClose(code("txAC"));
  sim::HostModel& model = host.model();
  const int window = id(code("txCN"));
  const std::pair<const char*, const char*> fields[] = {
      {"csgn", "ABC"}, {"user", "123"}, {"pwd_", "pw"},
      {"fnam", "Jo"},  {"lnam", "Lee"}, {"base", "KSFO"}};
  for (const auto& [field, text] : fields)
    model.setText(window, id(FourCCFromText(field)), text);
  model.addPopupItem(window, id(code("ipMN")), kServerItem, address.c_str());
  model.selectPopupItem(window, id(code("ipMN")), kServerItem);
  host.windowEvent(code("txCN"), code("ipMN"), code("slct"), kServerItem);
  host.windowEvent(code("txCN"), code("okBn"), code("actn"));
  if (!peer.accept() || !peer.readLine().has_value()) return false;
  // The first idle calls see the connection complete.
  for (int i = 0; i < 200; ++i) {
    host.idleOnce(0.0f);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return true;
}

// Times one call with the steady clock, for manual-time benchmarks.
template <typename F>
double Seconds(F&& call) {
  const auto start = std::chrono::steady_clock::now();
  call();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
      .count();
}

// What the host's timing of one slot costs beyond the time it counts: the
// clock reads and the tally around the slot's own work, which would not be
// there without it. Found once with the cheapest slot (the user's aircraft
// reference) called through the table as the plug-in calls it, on the
// active model: the least of 20 batches of 10,000 calls, so a batch that
// lost the processor does not count.
inline double SlotTimingSeconds() {
  static const double cost = [] {
    sim::HostModel* model = sim::ActiveModel();
    if (model == nullptr) return 0.0;
    const talvix::HostServicesTable table = sim::BuildHostTable();
    const auto userAircraft = reinterpret_cast<talvix::HostUserAircraftFn>(
        table.slot[talvix::kSlotUserAircraft]);
    constexpr int kBatches = 20;
    constexpr int kCalls = 10000;
    talvix::AircraftRef ref{};
    double least = 0;
    for (int batch = 0; batch < kBatches; ++batch) {
      const sim::HostModel::SlotTime before = model->slotTime();
      const double seconds = Seconds([&] {
        for (int i = 0; i < kCalls; ++i) {
          userAircraft(&ref);
          benchmark::DoNotOptimize(ref);
        }
      });
      const sim::HostModel::SlotTime after = model->slotTime();
      const double counted = (after.nanoseconds - before.nanoseconds) * 1e-9;
      const double each = seconds > counted ? (seconds - counted) / kCalls : 0;
      if (batch == 0 || each < least) least = each;
    }
    return least;
  }();
  return cost;
}

// The plug-in's own part of a call that took seconds, of which inHost were
// counted inside the host's slots over slotCalls calls: the host's timing
// of each slot is taken out too.
inline double PluginSeconds(double seconds, double inHost,
                            std::int64_t slotCalls) {
  const double own = seconds - inHost - slotCalls * SlotTimingSeconds();
  return own > 0 ? own : 0;
}

}  // namespace talvix::bench
