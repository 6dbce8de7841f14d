// A stand-in simulator with the real plug-in loaded, in a fresh copy of the
// data folder, plus small readers of the host's state for assertions.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/fourcc.h"
#include "sim/sim.h"

namespace talvix::testing {

inline std::string MakeSimulatorRoot() {
  namespace fs = std::filesystem;
  std::string pattern =
      (fs::temp_directory_path() / "talvix-test.XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (mkdtemp(buffer.data()) == nullptr) return "";
  const std::string root(buffer.data());
  fs::copy(fs::path(TALVIX_SOURCE_DIR) / "data", root,
           fs::copy_options::recursive);
  return root;
}

class PluginTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = MakeSimulatorRoot();
    ASSERT_FALSE(root_.empty());
    sim_ = std::make_unique<sim::Simulator>(root_);
    std::string error;
    ASSERT_TRUE(sim_->loadPlugin(TALVIX_PLUGIN_PATH, true, &error)) << error;
  }
  void TearDown() override {
    if (sim_) {
      // Calls the host could not honour are faults of the plug-in.
      EXPECT_TRUE(sim_->model().snapshot().faults.empty())
          << ::testing::PrintToString(sim_->model().snapshot().faults);
      sim_.reset();
    }
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
  }

  sim::Simulator& host() { return *sim_; }
  sim::HostState state() const { return sim_->model().snapshot(); }

  bool isOpen(const char (&window)[5]) const {
    return state().windows.count(FourCC(window)) != 0;
  }
  // A copy of a control of an open window; nullopt when it is not there.
  std::optional<sim::Control> control(const char (&window)[5],
                                      const char (&code)[5]) const {
    const sim::HostState s = state();
    auto w = s.windows.find(FourCC(window));
    if (w == s.windows.end()) return std::nullopt;
    const sim::Control* c = w->second.find(FourCC(code));
    if (c == nullptr) return std::nullopt;
    return *c;
  }
  // Column 0 of every row of the main window's history.
  std::vector<std::string> history() const {
    std::vector<std::string> rows;
    if (auto hist = control("txMN", "hist")) {
      for (const auto& row : hist->rows)
        rows.push_back(row.empty() ? "" : row[0]);
    }
    return rows;
  }
  std::optional<std::string> setting(const std::string& key) const {
    const auto all = sim_->model().settings("Talvix");
    auto it = all.find(key);
    if (it == all.end()) return std::nullopt;
    return it->second;
  }
  int notices(const std::string& text) const {
    int n = 0;
    for (const auto& notice : state().notices) n += notice.text == text;
    return n;
  }

  void openMainWindow() {
    ASSERT_TRUE(host().menuSelect(FourCC("plug"), FourCC("txMN")));
    ASSERT_TRUE(isOpen("txMN"));
  }
  // An event of a plug-in window, as the host reports it.
  void event(const char (&window)[5], const char (&control)[5],
             const char (&kind)[5], int extra = 0) {
    ASSERT_TRUE(host().windowEvent(FourCC(window), FourCC(control),
                                   FourCC(kind), extra))
        << window << " is not open";
  }
  void pick(const char (&window)[5], const char (&menu)[5],
            const char (&item)[5]) {
    event(window, menu, "slct", static_cast<int>(FourCC(item)));
  }
  // Selects a popup item the way the user does: the host shows it, then
  // reports 'slct' with its id.
  void select(const char (&window)[5], const char (&popup)[5], int id) {
    host().model().selectPopupItem(static_cast<int>(FourCC(window)),
                                   static_cast<int>(FourCC(popup)), id);
    event(window, popup, "slct", id);
  }

  std::string root_;
  std::unique_ptr<sim::Simulator> sim_;
};

}  // namespace talvix::testing
