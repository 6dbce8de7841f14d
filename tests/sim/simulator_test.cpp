// The start sequence, events and threads against real loaded plug-ins: the
// probe plug-in of these tests and the real talvix.so.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/fourcc.h"
#include "sim/sim.h"
#include "sim_test_support.h"

using talvix::FourCC;

namespace {

std::vector<std::string> Notices(const sim::Simulator& s) {
  std::vector<std::string> texts;
  for (const auto& n : s.model().snapshot().notices) texts.push_back(n.text);
  return texts;
}

bool Has(const std::vector<std::string>& texts, const std::string& text) {
  return std::find(texts.begin(), texts.end(), text) != texts.end();
}

TEST(Simulator, StartSequenceHandsOverTheTableThenInitThenMenus) {
  simtest::TempRoot root;
  sim::Simulator s(root.str());
  std::string error;
  ASSERT_TRUE(s.loadPlugin(SIM_PROBE_PLUGIN_PATH, true, &error)) << error;
  EXPECT_EQ(200, s.sdkVersion());
  EXPECT_EQ(sim::kReferenceNumber, s.initPrivateResult());
  EXPECT_EQ(sim::kReferenceNumber, s.referenceNumberReported());
  EXPECT_EQ(1, s.initResult());
  EXPECT_EQ(1, s.menuSetUpResult()) << "the host's result of the item add";
  EXPECT_STREQ("Probe", s.about().text[0]);
  auto menus = s.model().snapshot().menus;
  ASSERT_EQ(1u, menus.size());
  EXPECT_EQ(FourCC("go__"), menus[0].items.at(0).code);
}

TEST(Simulator, FreshCopiesStartWithFreshModuleState) {
  simtest::TempRoot root;
  sim::Simulator a(root.str());
  ASSERT_TRUE(a.loadPlugin(SIM_PROBE_PLUGIN_PATH));
  sim::Simulator b(root.str());
  ASSERT_TRUE(b.loadPlugin(SIM_PROBE_PLUGIN_PATH));
  EXPECT_EQ(1, a.about().number);
  EXPECT_EQ(1, b.about().number) << "b's copy counted its own DLLInit";
  std::string error;
  EXPECT_FALSE(b.loadPlugin(root.file("missing.so"), true, &error));
  EXPECT_FALSE(error.empty());
}

TEST(Simulator, EventsCarryTheWindowsSignatureAndCloseClosesFirst) {
  simtest::TempRoot root;
  sim::Simulator s(root.str());
  ASSERT_TRUE(s.loadPlugin(SIM_PROBE_PLUGIN_PATH));
  std::string sig = std::to_string(sim::kPluginSignature);
  EXPECT_FALSE(s.windowEvent(FourCC("txEX"), FourCC("exBn"), FourCC("actn")))
      << "no event for a window that is not open";
  ASSERT_TRUE(s.menuSelect(FourCC("prob"), FourCC("go__")));
  EXPECT_FALSE(s.menuSelect(FourCC("prob"), FourCC("nope")));
  EXPECT_TRUE(Has(Notices(s), "event " + sig + " MBar prob slct " +
                                  std::to_string(FourCC("go__"))));
  ASSERT_TRUE(s.windowEvent(FourCC("txEX"), FourCC("exBn"), FourCC("actn")));
  EXPECT_TRUE(Has(Notices(s), "event " + sig + " txEX exBn actn 0"));
  ASSERT_TRUE(s.userClose(FourCC("txEX")));
  EXPECT_TRUE(Has(Notices(s), "event " + sig + " txEX clos clos 0"));
  EXPECT_EQ(0, s.model().isWindowOpen(static_cast<int>(FourCC("txEX"))));
  ASSERT_TRUE(s.key(68, 3));
  ASSERT_TRUE(s.cleanUp());
  EXPECT_TRUE(Has(Notices(s), "key 68 3"));
  EXPECT_TRUE(Has(Notices(s), "cleanup"));
}

TEST(Simulator, FramesPassTheirSecondsAndIdleIsPacedInRealTime) {
  simtest::TempRoot root;
  sim::Simulator s(root.str());
  ASSERT_TRUE(s.loadPlugin(SIM_PROBE_PLUGIN_PATH));
  s.frames(10, 0.5f);
  s.key(3, 0);
  EXPECT_TRUE(Has(Notices(s), "idle 10 5.000"));
  s.setFramesPerSecond(20);
  s.idle(0.5);
  double host = s.model().snapshot().hostTime;
  EXPECT_GT(host, 5.0 + 0.4);
  EXPECT_LT(host, 5.0 + 0.7);
}

TEST(Simulator, WorkerThreadsOfThePlugInMayCallTheHost) {
  simtest::TempRoot root;
  sim::Simulator s(root.str());
  ASSERT_TRUE(s.loadPlugin(SIM_PROBE_PLUGIN_PATH));
  ASSERT_TRUE(s.menuSelect(FourCC("prob"), FourCC("go__")));
  s.key(1, 0);  // four workers, 200 rounds each
  s.frames(50, 0.01f);
  s.key(2, 0);  // joins them
  auto state = s.model().snapshot();
  const sim::Control* list =
      state.windows.at(FourCC("txEX")).find(FourCC("exLs"));
  ASSERT_NE(nullptr, list);
  EXPECT_EQ(800u, list->rows.size());
  EXPECT_EQ(800u, state.alerts.size());
  EXPECT_EQ("199", s.model().settings("Probe").at("worker3"));
  EXPECT_TRUE(state.faults.empty());
  // Unloading while workers run stops them before the library goes.
  s.key(1, 0);
  s.unload();
  EXPECT_FALSE(s.loaded());
}

TEST(Simulator, RealPlugInAnnouncesItselfAndItsMenu) {
  simtest::TempRoot root;
  sim::Simulator s(root.str());
  std::string error;
  ASSERT_TRUE(s.loadPlugin(TALVIX_PLUGIN_PATH, true, &error)) << error;
  EXPECT_EQ(200, s.sdkVersion());
  nlohmann::json d = s.dump();
  EXPECT_EQ("Talvix for Fly! II v3.1 BETA", d["about"]["texts"][0]);
  EXPECT_EQ("none", d["about"]["texts"][1]);
  EXPECT_EQ("3.1 Beta 31 may 2004", d["about"]["texts"][3]);
  EXPECT_EQ(310, d["about"]["number"]);
  EXPECT_EQ("plug", d["menus"][0]["code"]);
  EXPECT_EQ("Plugins", d["menus"][0]["title"]);
  EXPECT_EQ("txMN", d["menus"][0]["items"][0]["code"]);
  EXPECT_EQ("Talvix", d["menus"][0]["items"][0]["text"]);
  s.frames(3, 0.1f);
  s.unload();
  EXPECT_FALSE(s.loaded());
}

}  // namespace
