// The plug-in's code linked in (the static library) serving as the plug-in
// of the stand-in host's model: the same entry points, callbacks and idle
// cycle the simulator calls, connected through the connect window to a
// loopback peer. Unlike the loaded library, its inside can be reached: lines
// are handed to the incoming queue as the receiver hands them (without its
// 50 ms pause), and the table can be filled and aged at will.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "atc/stations.h"
#include "bench/bench_world.h"
#include "core/callbacks.h"
#include "core/host_services.h"
#include "net/ctx_socket.h"
#include "net/queue_locks.h"
#include "net/session.h"
#include "sim/host_model.h"
#include "sim/host_table.h"
#include "sim/sim.h"
#include "tests/net/loopback_peer.h"
#include "tests/support/plugin_fixture.h"
#include "traffic/traffic_table.h"

extern "C" int TALVIX_CALL DLLInitPrivate(talvix::HostServicesTable* table,
                                          int reference);
extern "C" int TALVIX_CALL DLLInit(talvix::CallbackRecord* callbacks,
                                   talvix::AboutRecord* about);
extern "C" void TALVIX_CALL DLLKill();

namespace talvix::bench {

// Registered after the inside figures, so the memory figure still comes
// first whatever order the files' initialisers run in.
void RegisterCrowdBenchmarks();

class InsideWorld {
 public:
  static constexpr char kAddress[] = "127.0.0.230";

  // The one world of the process, built and connected on first use.
  static InsideWorld& Get() {
    static std::unique_ptr<InsideWorld> world(new InsideWorld);
    world->activate();
    return *world;
  }
  ~InsideWorld() {
    activate();
    DLLKill();
    sim::SetActiveModel(nullptr);
    std::error_code ignored;
    std::filesystem::current_path(previousDirectory_, ignored);
    std::filesystem::remove_all(root_, ignored);
  }

  bool ready() const { return ready_; }
  void activate() { sim::SetActiveModel(model_.get()); }

  // --- the host's side, as sim::Simulator offers it
  sim::HostModel& model() { return *model_; }
  void idleOnce(float dt) {
    model_->advanceTime(dt);
    IdleCallbackFn(dt);
  }
  bool menuSelect(std::uint32_t menu, std::uint32_t item) {
    WindowEventCallbackFn(sim::kPluginSignature, static_cast<int>(kMenuBar),
                          static_cast<int>(menu),
                          static_cast<int>(FourCC("slct")),
                          static_cast<int>(item));
    return true;
  }
  bool windowEvent(std::uint32_t window, std::uint32_t control,
                   std::uint32_t event, int extra = 0) {
    WindowEventCallbackFn(sim::kPluginSignature, static_cast<int>(window),
                          static_cast<int>(control), static_cast<int>(event),
                          extra);
    return true;
  }
  bool userClose(std::uint32_t window) {
    model_->closeWindow(static_cast<int>(window));
    return windowEvent(window, FourCC("clos"), FourCC("clos"));
  }

  // --- the inside
  // Hands a line to the incoming queue, as the receiver does.
  void receive(const std::string& line) {
    platform::LockGuard hold(IncomingLock());
    currentSession()->incoming().push(new Packet(line.c_str()));
  }
  int received() {
    platform::LockGuard hold(IncomingLock());
    return currentSession()->incoming().count();
  }
  // Idle calls until every received line is handled.
  void handleAll() {
    while (received() > 0) idleOnce(0.0f);
  }
  // Drops the lines waiting to be sent, so the sender's queue stays short.
  void dropOutgoing() {
    platform::LockGuard hold(OutgoingLock());
    while (Packet* packet = currentSession()->outgoing().pop()) delete packet;
  }
  int pilots() const { return Traffic().count(); }
  // Grows or shrinks the table to n pilots P00000... through "@" lines.
  void holdPilots(int n) {
    for (int i = pilots(); i < n; ++i) {
      receive(PilotLine(PilotCallsign(i), i));
      idleOnce(0.0f);
    }
    for (int i = pilots() - 1; i >= n; --i) {
      receive(PilotLine(Traffic().at(i)->callsign, i, true));
      idleOnce(0.0f);
    }
    dropOutgoing();
  }
  // Every pilot gets ticks left as if it had just reported (ttl), or one.
  void setPilotTicksLeft(int ticks) {
    for (int i = 0; i < pilots(); ++i)
      Traffic().setTicksLeft(Traffic().at(i), ticks);
  }
  // Every controller but the first (never aged) gets ticks left.
  void setControllerTicksLeft(int ticks) {
    for (int i = 1; i < StationCount(); ++i) StationAt(i)->ttl = ticks;
  }
  int controllers() const { return StationCount(); }
  void listControllers() {
    for (int i = 0; i < kControllersListed; ++i) receive(ControllerLine(i));
    handleAll();
  }
  testing::LoopbackPeer& peer() { return peer_; }

 private:
  InsideWorld() : peer_(kAddress) {
    previousDirectory_ = std::filesystem::current_path();
    root_ = testing::MakeSimulatorRoot();
    // The plug-in writes its METAR log under the working directory.
    std::filesystem::current_path(root_);
    model_ = std::make_unique<sim::HostModel>(root_);
    table_ = sim::BuildHostTable();
    activate();
    PrepareHost(*model_);
    DLLInitPrivate(&table_, sim::kReferenceNumber);
    DLLInit(&callbacks_, &about_);
    MenuSetUpCallbackFn();
    ready_ = ConnectThroughWindows(*this, peer_, kAddress) && IsConnected();
    if (ready_) listControllers();
  }

  testing::LoopbackPeer peer_;
  std::filesystem::path previousDirectory_;
  std::string root_;
  std::unique_ptr<sim::HostModel> model_;
  HostServicesTable table_{};
  CallbackRecord callbacks_{};
  AboutRecord about_{};
  bool ready_ = false;
};

}  // namespace talvix::bench
