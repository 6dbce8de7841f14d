#include "tests/fuzz/fuzz_host.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "atc/stations.h"
#include "core/fourcc.h"
#include "core/host.h"
#include "core/text.h"
#include "net/connection_record.h"
#include "net/packet.h"
#include "net/session.h"
#include "protocol/dispatch.h"
#include "protocol/own_aircraft.h"
#include "sim/host_model.h"
#include "sim/host_table.h"
#include "tests/support/plugin_fixture.h"
#include "traffic/traffic_table.h"
#include "ui/history.h"
#include "ui/shared_values.h"

namespace talvix::fuzz {
namespace {

struct Host {
  Host() {
    const std::string root = testing::MakeSimulatorRoot();
    if (root.empty()) std::abort();
    std::filesystem::current_path(root);
    model = new sim::HostModel(root);
    sim::SetActiveModel(model);
    table = sim::BuildHostTable();
    host::Install(&table, 4242);
    CreateQueueLocks();
    model->createWindow(sim::kPluginSignature, static_cast<int>(FourCC("txMN")),
                        "txMain.win");
    CopyText(Connection().callsign, "ABC");
    MPDistance() = 40;
    // The user at KSFO, where the seed lines' pilots fly.
    model->modify([](sim::HostState& s) {
      s.user.position = {37.6189 * 3600, -122.375 * 3600, 13.0};
    });
    UpdateFlyParameters();
  }
  sim::HostModel* model;  // lives as long as the process
  HostServicesTable table{};
};

Host& TheHost() {
  static Host host;
  return host;
}

bool HasPrefix(const std::string& line, const char* prefix) {
  return line.compare(0, std::strlen(prefix), prefix) == 0;
}

bool Finite(const HostPosition& p) {
  return std::isfinite(p.lat) && std::isfinite(p.lon) && std::isfinite(p.alt);
}
bool Finite(const HostVector& v) {
  return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

[[noreturn]] void Fail(const std::string& what) {
  std::fprintf(stderr, "host state not sound: %s\n", what.c_str());
  std::abort();
}

}  // namespace

void StartHost() { TheHost(); }

void DispatchLines(const std::uint8_t* data, std::size_t size,
                   std::initializer_list<const char*> prefixes) {
  TheHost();
  const char* bytes = reinterpret_cast<const char*>(data);
  std::size_t start = 0;
  while (start <= size) {
    const void* lf = std::memchr(bytes + start, '\n', size - start);
    const std::size_t end = lf ? static_cast<const char*>(lf) - bytes : size;
    std::string line(bytes + start, end - start);
    bool known = false;
    for (const char* prefix : prefixes)
      known = known || HasPrefix(line, prefix);
    if (!known) line = *prefixes.begin() + line;
    // As the receiver and the dispatcher make them: a packet from the text
    // (cut to 1023, ended by a NUL), then a copy for the handler.
    Packet received(line.c_str());
    Packet copy(received.text());
    RouteReceivedPacket(&copy);
    start = end + 1;
  }
  CheckAndReset();
}

void CheckAndReset() {
  TheHost().model->modify([](sim::HostState& s) {
    for (const sim::SimObject& o : s.objects) {
      if (!Finite(o.position) || !Finite(o.orientation) ||
          !Finite(o.velocity) || !std::isfinite(o.speed))
        Fail("object " + o.names[0] + " is not at a finite place");
    }
    if (!std::isfinite(s.weather.altimeter)) Fail("altimeter not finite");
    if (!s.faults.empty()) Fail(s.faults.front());
    s.notices.clear();
    s.alerts.clear();
    s.sounds.clear();
    s.failedCreates.clear();
    s.metarFiles.clear();
  });
  RemoveAllTraffic();
  ClearStations();
  // An input that leaves nothing allocated behind is not rerun for a leak
  // check, so the history starts empty each time.
  ClearHistory();
}

}  // namespace talvix::fuzz
