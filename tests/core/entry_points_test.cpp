// The plug-in as the simulator sees it at load: the entry points, the about
// record, the callback slots, the menu item and the key that opens the main
// window. The real talvix.so runs in the stand-in host.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "core/fourcc.h"
#include "core/host_services.h"
#include "sim/host_table.h"
#include "tests/support/plugin_fixture.h"

namespace talvix {
namespace {

using testing::PluginTest;

using EntryPointsTest = PluginTest;

TEST_F(EntryPointsTest, StartSequenceReportsVersionReferenceAndSuccess) {
  EXPECT_EQ(host().sdkVersion(), 200);
  EXPECT_EQ(host().initPrivateResult(), sim::kReferenceNumber);
  EXPECT_EQ(host().referenceNumberReported(), sim::kReferenceNumber);
  EXPECT_EQ(host().initResult(), 1);
}

TEST_F(EntryPointsTest, AboutRecordNamesThePlugIn) {
  const AboutRecord& about = host().about();
  EXPECT_STREQ(about.text[0], "Talvix for Fly! II v3.1 BETA");
  EXPECT_STREQ(about.text[1], "none");
  EXPECT_STREQ(about.text[2], "Talvix developers");
  EXPECT_STREQ(about.text[3], "3.1 Beta 31 may 2004");
  EXPECT_STREQ(about.text[4], "talvix@localhost");
  EXPECT_EQ(about.number, 310);
}

TEST_F(EntryPointsTest, WritesExactlyTheSixCallbackSlots) {
  for (int slot = 0; slot < kCallbackRecordSlots; ++slot) {
    const bool ours = slot == 0 || slot == 1 || slot == 6 || slot == 17 ||
                      slot == 46 || slot == 51;
    EXPECT_EQ(host().callback(slot) != nullptr, ours) << "slot " << slot;
  }
  // Slot 0 is the empty function and slot 1 the clean-up: both callable.
  reinterpret_cast<EmptyCallback>(host().callback(kCallbackEmpty))();
  EXPECT_TRUE(host().cleanUp());
}

TEST_F(EntryPointsTest, MenuSetUpAddsTalvixUnderPlugins) {
  const auto menus = state().menus;
  ASSERT_EQ(menus.size(), 1u);
  EXPECT_EQ(menus[0].bar, kMenuBar);
  EXPECT_EQ(menus[0].code, FourCC("plug"));
  EXPECT_EQ(menus[0].title, "Plugins");
  ASSERT_EQ(menus[0].items.size(), 1u);
  EXPECT_EQ(menus[0].items[0].code, FourCC("txMN"));
  EXPECT_EQ(menus[0].items[0].text, "Talvix");
  EXPECT_EQ(host().menuSetUpResult(), 1);
}

TEST_F(EntryPointsTest, OnlyKey68WithModifier3OpensTheMainWindow) {
  const int other[][2] = {{68, 0}, {68, 1}, {68, 2}, {68, 4},
                          {67, 3}, {69, 3}, {3, 68}, {0, 0}};
  for (const auto& k : other) {
    ASSERT_TRUE(host().key(k[0], k[1]));
    EXPECT_FALSE(isOpen("txMN")) << "key " << k[0] << " modifier " << k[1];
  }
  ASSERT_TRUE(host().key(68, 3));
  EXPECT_TRUE(isOpen("txMN"));
  EXPECT_EQ(notices("Creating Talvix Window..."), 1);

  // Open already: the key raises it and keeps its history.
  pick("txMN", "mp__", "mp20");
  ASSERT_TRUE(host().key(68, 3));
  EXPECT_EQ(notices("Creating Talvix Window..."), 1);
  EXPECT_EQ(state().windows.at(FourCC("txMN")).raises, 1);
  EXPECT_EQ(history().size(), 2u);
}

TEST_F(EntryPointsTest, IdleCallsWhileDisconnectedTouchNothing) {
  openMainWindow();
  host().frames(40, 0.5f);  // far past both timers
  EXPECT_EQ(history(), std::vector<std::string>{""});
  EXPECT_TRUE(state().notices.size() == 1);  // only "Creating Talvix Window..."
}

// The entry points called directly, in an order the simulator never uses:
// the version holds whatever the state.
TEST(EntryPointsDirect, VersionAndReferenceNumberOutsideTheStartSequence) {
  namespace fs = std::filesystem;
  const std::string copy =
      (fs::temp_directory_path() / "talvix-direct-test.so").string();
  fs::copy_file(TALVIX_PLUGIN_PATH, copy, fs::copy_options::overwrite_existing);
  void* library = dlopen(copy.c_str(), RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  auto version =
      reinterpret_cast<DLLGetSDKVersionFn>(dlsym(library, "DLLGetSDKVersion"));
  auto initPrivate =
      reinterpret_cast<DLLInitPrivateFn>(dlsym(library, "DLLInitPrivate"));
  auto reference = reinterpret_cast<DLLGetReferenceNumberFn>(
      dlsym(library, "DLLGetReferenceNumber"));
  auto init = reinterpret_cast<DLLInitFn>(dlsym(library, "DLLInit"));
  auto kill = reinterpret_cast<DLLKillFn>(dlsym(library, "DLLKill"));
  ASSERT_TRUE(version && initPrivate && reference && init && kill);
  // Nothing else of ours is visible.
  EXPECT_EQ(dlsym(library, "_ZN6talvix14AddHistoryLineEPKc"), nullptr);

  EXPECT_EQ(version(), 200);
  HostServicesTable empty{};
  EXPECT_EQ(initPrivate(&empty, 77), 77);
  EXPECT_EQ(reference(), 77);
  EXPECT_EQ(version(), 200);
  CallbackRecord callbacks{};
  AboutRecord about{};
  EXPECT_EQ(init(&callbacks, &about), 1);  // a host without services
  EXPECT_EQ(about.number, 310);
  kill();
  EXPECT_EQ(version(), 200);
  dlclose(library);
  fs::remove(copy);
}

}  // namespace
}  // namespace talvix
