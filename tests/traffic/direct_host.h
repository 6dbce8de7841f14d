// The stand-in host's model serving the plug-in's code linked in directly:
// a fresh copy of data/ as the simulator's folder (and working directory),
// the main window open, and the module-wide state the traffic and
// own-aircraft code keep put back to a known start for every test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/fourcc.h"
#include "core/host.h"
#include "core/text.h"
#include "net/connection_record.h"
#include "protocol/own_aircraft.h"
#include "sim/host_model.h"
#include "sim/host_table.h"
#include "tests/support/plugin_fixture.h"
#include "traffic/traffic_table.h"
#include "ui/shared_values.h"

namespace talvix::testing {

// Arc-seconds from degrees, as the simulator measures.
inline double ArcSeconds(double degrees) { return degrees * 3600.0; }

class DirectHostTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previousDirectory_ = std::filesystem::current_path();
    root_ = MakeSimulatorRoot();
    ASSERT_FALSE(root_.empty());
    std::filesystem::current_path(root_);
    model_ = std::make_unique<sim::HostModel>(root_);
    sim::SetActiveModel(model_.get());
    table_ = sim::BuildHostTable();
    host::Install(&table_, 4242);
    ASSERT_NE(
        model_->createWindow(sim::kPluginSignature,
                             static_cast<int>(FourCC("txMN")), "txMain.win"),
        0);
    CopyText(Connection().callsign, "ABC");
    MPDistance() = 40;
    AltitudeOffset() = 0;
    OwnAircraft() = OwnAircraftState{};
  }

  void TearDown() override {
    RemoveAllTraffic();
    EXPECT_EQ(Traffic().count(), 0);
    EXPECT_TRUE(model_->snapshot().objects.empty());
    EXPECT_TRUE(model_->snapshot().faults.empty())
        << ::testing::PrintToString(model_->snapshot().faults);
    sim::SetActiveModel(nullptr);
    model_.reset();
    std::filesystem::current_path(previousDirectory_);
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  sim::HostState state() const { return model_->snapshot(); }

  template <typename F>
  void user(F&& change) {
    model_->modify([&](sim::HostState& s) { change(s.user); });
  }

  const sim::Control* find(const sim::HostState& s, const char (&window)[5],
                           const char (&code)[5]) const {
    auto w = s.windows.find(FourCC(window));
    return w == s.windows.end() ? nullptr : w->second.find(FourCC(code));
  }
  std::vector<std::string> history() const {
    std::vector<std::string> rows;
    const sim::HostState s = state();
    if (const sim::Control* hist = find(s, "txMN", "hist")) {
      for (const auto& row : hist->rows) {
        if (!row.empty() && !row[0].empty()) rows.push_back(row[0]);
      }
    }
    return rows;
  }
  // The texts of the pilot popup's items after "------".
  std::vector<std::string> pilotItems() const {
    std::vector<std::string> texts;
    const sim::HostState s = state();
    if (const sim::Control* popup = find(s, "txMN", "spMg")) {
      for (const auto& item : popup->items) {
        if (item.id != 0) texts.push_back(item.text);
      }
    }
    return texts;
  }
  const sim::SimObject* object(const sim::HostState& s,
                               const std::string& name) const {
    for (const auto& o : s.objects) {
      if (o.names[0] == name) return &o;
    }
    return nullptr;
  }
  // A copy of the object named name, or nullopt.
  std::optional<sim::SimObject> objectNamed(const std::string& name) const {
    const sim::HostState s = state();
    const sim::SimObject* o = object(s, name);
    if (o == nullptr) return std::nullopt;
    return *o;
  }
  int notices(const std::string& text) const {
    int n = 0;
    for (const auto& notice : state().notices) n += notice.text == text;
    return n;
  }
  void writeFile(const std::string& name, const std::string& text) {
    std::ofstream(std::filesystem::path(root_) / name, std::ios::binary)
        << text;
  }
  void removeFile(const std::string& name) {
    std::filesystem::remove(std::filesystem::path(root_) / name);
  }

  std::string root_;
  std::filesystem::path previousDirectory_;
  std::unique_ptr<sim::HostModel> model_;
  HostServicesTable table_{};
};

}  // namespace talvix::testing
