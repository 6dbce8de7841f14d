// The host's slots as the plug-in sees them: called through the plug-in's
// own thin wrappers (core/host.h) on the table that simhost hands over.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>
#include <vector>

#include "core/fourcc.h"
#include "core/host.h"
#include "sim/host_model.h"
#include "sim/host_table.h"
#include "sim_test_support.h"

using namespace talvix;
namespace h = talvix::host;

namespace {

constexpr std::uint32_t kWin = FourCC("txEX");
constexpr std::uint32_t kPopup = FourCC("exPp");
constexpr std::uint32_t kList = FourCC("exLs");

class HostSlots : public ::testing::Test {
 protected:
  void SetUp() override {
    model_ = std::make_unique<sim::HostModel>(root_.str());
    sim::SetActiveModel(model_.get());
    table_ = sim::BuildHostTable();
    h::Install(&table_, 4242);
  }
  void TearDown() override { sim::SetActiveModel(nullptr); }
  void OpenExample() {
    ASSERT_EQ(
        1, h::CreateHostWindow(sim::kPluginSignature, kWin, "TXEXAMPLE.win"));
  }
  std::vector<std::string> Faults() const { return model_->snapshot().faults; }

  simtest::TempRoot root_;
  std::unique_ptr<sim::HostModel> model_;
  HostServicesTable table_{};
};

TEST_F(HostSlots, SettingsPersistInTheFileAndMissingKeysLeaveValues) {
  h::WriteSettingInt("MPDistance", 40);
  h::WriteSettingText("Callsign", "ABC123");
  EXPECT_NE(std::string::npos, root_.read("settings.ini").find("[Talvix]"));
  EXPECT_NE(std::string::npos,
            root_.read("settings.ini").find("Callsign=ABC123"));

  // A new simulator reads them back from the file.
  model_ = std::make_unique<sim::HostModel>(root_.str());
  sim::SetActiveModel(model_.get());
  int value = 7;
  h::ReadSettingInt("MPDistance", &value);
  EXPECT_EQ(40, value);
  value = 7;
  h::ReadSettingInt("AutoWeather", &value);
  EXPECT_EQ(7, value) << "a missing key leaves the value unchanged";

  char text[4] = "xy";
  h::ReadSettingText("Callsign", text, sizeof text);
  EXPECT_STREQ("ABC", text) << "size bytes with the NUL";
  char other[8] = "keep";
  model_->readSettingText("Talvix", "Nothing", other, sizeof other);
  EXPECT_STREQ("keep", other);
  // The section is part of the key.
  model_->writeSettingInt("Other", "MPDistance", 5);
  value = 0;
  h::ReadSettingInt("MPDistance", &value);
  EXPECT_EQ(40, value);
}

TEST_F(HostSlots, PopupSelectionReturnsIdAndCopiesTextCut) {
  OpenExample();
  char text[32];
  EXPECT_EQ(0, h::GetPopupSelection(kWin, kPopup, text, sizeof text))
      << "a popup shows its first item";
  EXPECT_STREQ("------", text);
  h::AddPopupItem(kWin, kPopup, 7, "EDDF_TWR");
  h::SelectPopupItem(kWin, kPopup, 7);
  char small[4];
  EXPECT_EQ(7, h::GetPopupSelection(kWin, kPopup, small, sizeof small));
  EXPECT_STREQ("EDD", small);
  EXPECT_EQ(7, h::GetPopupSelection(kWin, kPopup, nullptr, 0));
  h::SelectPopupItem(kWin, kPopup, 99);  // no such item: unchanged
  EXPECT_EQ(7, h::GetPopupSelection(kWin, kPopup, text, sizeof text));
  h::RemovePopupItem(kWin, kPopup, 7);
  EXPECT_EQ(0, h::GetPopupSelection(kWin, kPopup, text, sizeof text))
      << "removing the shown item shows the first again";
  h::RemovePopupItem(kWin, kPopup, 0);
  h::RemovePopupItem(kWin, kPopup, static_cast<int>(FourCC("ab12")));
  EXPECT_EQ(-1, h::GetPopupSelection(kWin, kPopup, text, sizeof text));
  EXPECT_STREQ("", text);
  EXPECT_TRUE(Faults().empty());
}

// Two items with one id: the first goes, whichever end a removal searches
// from; a unique id goes wherever it stands, and the window's next opening
// starts from its file again.
TEST_F(HostSlots, RemovingAnItemTakesTheFirstWithItsId) {
  OpenExample();
  h::AddPopupItem(kWin, kPopup, 5, "first five");
  h::AddPopupItem(kWin, kPopup, 6, "six");
  h::AddPopupItem(kWin, kPopup, 5, "second five");
  h::AddPopupItem(kWin, kPopup, 8, "eight");
  const auto texts = [&] {
    std::vector<std::string> all;
    const sim::HostState s = model_->snapshot();
    for (const auto& item : s.windows.at(kWin).find(kPopup)->items)
      all.push_back(item.text);
    return all;
  };
  const std::size_t fromFile = texts().size() - 4;
  h::RemovePopupItem(kWin, kPopup, 5);
  std::vector<std::string> left = texts();
  left.erase(left.begin(), left.begin() + fromFile);
  EXPECT_EQ(left, (std::vector<std::string>{"six", "second five", "eight"}));
  h::RemovePopupItem(kWin, kPopup, 5);  // now unique: sought from the end
  h::RemovePopupItem(kWin, kPopup, 6);
  left = texts();
  left.erase(left.begin(), left.begin() + fromFile);
  EXPECT_EQ(left, std::vector<std::string>{"eight"});
  h::RemovePopupItem(kWin, kPopup, 5);  // none left: nothing happens
  EXPECT_EQ(texts().size(), fromFile + 1);
  // The host counts the time of every slot called.
  const sim::HostModel::SlotTime before = model_->slotTime();
  h::AddPopupItem(kWin, kPopup, 9, "nine");
  h::RemovePopupItem(kWin, kPopup, 9);
  EXPECT_EQ(model_->slotTime().calls - before.calls, 2);
  EXPECT_GE(model_->slotTime().nanoseconds, before.nanoseconds);
  EXPECT_TRUE(Faults().empty());
}

TEST_F(HostSlots, ListRowsCellsAndSelection) {
  OpenExample();
  EXPECT_EQ(-1, h::ListSelectedRow(kWin, kList));
  for (int i = 0; i < 3; ++i) h::ListAppendRow(kWin, kList, 12);
  ASSERT_EQ(3, h::ListRowCount(kWin, kList));
  h::ListSetCell(kWin, kList, 2, 0, "third");
  h::ListSetCell(kWin, kList, 1, 3, "wide");
  char cell[4];
  h::ListGetCell(kWin, kList, 2, 0, cell, sizeof cell);
  EXPECT_STREQ("thi", cell);
  h::ListGetCell(kWin, kList, 1, 3, cell, sizeof cell);
  EXPECT_STREQ("wid", cell);
  h::ListGetCell(kWin, kList, 9, 0, cell, sizeof cell);
  EXPECT_STREQ("", cell);

  h::ListSelectRow(kWin, kList, 2);
  EXPECT_EQ(2, h::ListSelectedRow(kWin, kList));
  h::ListDeleteRow(kWin, kList, 0);
  EXPECT_EQ(1, h::ListSelectedRow(kWin, kList)) << "selection follows its row";
  h::ListGetCell(kWin, kList, 1, 0, cell, sizeof cell);
  EXPECT_STREQ("thi", cell);
  h::ListSelectRow(kWin, kList, 5);
  EXPECT_EQ(-1, h::ListSelectedRow(kWin, kList));
  h::ListClearColumns(kWin, kList);
  h::ListAddColumn(kWin, kList, "History", 1024);
  h::ListClearRows(kWin, kList);
  EXPECT_EQ(0, h::ListRowCount(kWin, kList));
  EXPECT_TRUE(Faults().empty());

  // A cell of a row that does not exist is a fault of the caller.
  h::ListSetCell(kWin, kList, 4, 0, "lost");
  EXPECT_EQ(1u, Faults().size());
}

TEST_F(HostSlots, ClosedWindowsIgnoreCallsButMissingControlsAreFaults) {
  h::ListAppendRow(kWin, kList, 12);
  EXPECT_EQ(0, h::ListRowCount(kWin, kList));
  EXPECT_FALSE(h::IsWindowOpen(kWin));
  EXPECT_TRUE(Faults().empty());
  EXPECT_EQ(0, h::CreateHostWindow(sim::kPluginSignature, kWin, "nope.win"));
  EXPECT_EQ(1u, Faults().size());

  OpenExample();
  EXPECT_TRUE(h::IsWindowOpen(kWin));
  h::SetText(kWin, FourCC("zzzz"), "x");
  h::ListAppendRow(kWin, FourCC("exTx"), 12);  // a text field is no list
  EXPECT_EQ(3u, Faults().size());
  h::SetText(kWin, FourCC("exTx"), "typed");
  char text[16];
  h::GetText(kWin, FourCC("exTx"), text, sizeof text);
  EXPECT_STREQ("typed", text);
  h::ClearText(kWin, FourCC("exTx"));
  h::GetText(kWin, FourCC("exTx"), text, sizeof text);
  EXPECT_STREQ("", text);
  h::SetButtonState(kWin, FourCC("exCk"), 1);
  EXPECT_EQ(1, h::GetButtonState(kWin, FourCC("exCk")));
  h::CloseWindow(kWin);
  EXPECT_FALSE(h::IsWindowOpen(kWin));
}

TEST_F(HostSlots, SoundsPlayForOneSecondOfHostTime) {
  int a = h::PlayHostSound("ATTN.WAV");
  model_->advanceTime(0.6);
  int b = h::PlayHostSound("MYATTN.WAV");
  EXPECT_NE(0, a);
  EXPECT_NE(0, b);
  EXPECT_NE(a, b);
  EXPECT_NE(0, h::QuerySound(a));
  model_->advanceTime(0.39);
  EXPECT_NE(0, h::QuerySound(a));
  model_->advanceTime(0.02);
  EXPECT_EQ(0, h::QuerySound(a)) << "one second after the play";
  EXPECT_NE(0, h::QuerySound(b));
  EXPECT_EQ(0, h::QuerySound(b + 100));
  auto sounds = model_->snapshot().sounds;
  ASSERT_EQ(2u, sounds.size());
  EXPECT_EQ("ATTN.WAV", sounds[0].file);
  EXPECT_EQ("MYATTN.WAV", sounds[1].file);
}

TEST_F(HostSlots, ObjectsComeFromModelFilesWithBackslashPaths) {
  root_.write("tvox/B737.tvx", "model");
  HostObject* object = h::CreateObject("TVOX\\b737.TVX");
  ASSERT_NE(nullptr, object);
  EXPECT_EQ(nullptr, h::CreateObject("tvox\\missing.tvx"));
  h::SetNames(object->ref, "DLH123", "DLH123 B737");
  h::SetPosition(object->ref, {180000.0, -440000.0, 3500.0});
  h::SetSpeed(object->ref, 250.0f);
  h::SetVelocity(object->ref, {1.0, 2.0, 3.0});
  HostPosition p{};
  h::GetPosition(object->ref, &p);
  EXPECT_DOUBLE_EQ(-440000.0, p.lon);
  EXPECT_FLOAT_EQ(250.0f, h::GetSpeed(object->ref));
  auto state = model_->snapshot();
  ASSERT_EQ(1u, state.objects.size());
  EXPECT_EQ("DLH123 B737", state.objects[0].names[1]);
  EXPECT_EQ("TVOX\\b737.TVX", state.objects[0].model);
  EXPECT_DOUBLE_EQ(2.0, state.objects[0].velocity.y);
  EXPECT_EQ(std::vector<std::string>{"tvox\\missing.tvx"}, state.failedCreates);
  h::DestroyObject(object);
  EXPECT_TRUE(model_->snapshot().objects.empty());
  EXPECT_TRUE(Faults().empty());
}

// Found files are kept only while their folders stay as they were, and
// objects stay reachable by id whichever of them goes first.
TEST_F(HostSlots, ModelFilesFollowTheirFolderAndObjectsTheirIds) {
  root_.write("tvox/B737.tvx", "model");
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // settled
  std::vector<HostObject*> objects;
  for (int i = 0; i < 3; ++i)
    objects.push_back(h::CreateObject("tvox\\b737.tvx"));
  ASSERT_NE(nullptr, objects[2]);
  std::filesystem::remove(root_.file("tvox/B737.tvx"));
  EXPECT_EQ(nullptr, h::CreateObject("tvox\\b737.tvx"));
  root_.write("tvox/b737.TVX", "model");
  EXPECT_NE(nullptr, h::CreateObject("TVOX\\B737.tvx"));

  h::DestroyObject(objects[1]);
  h::SetPosition(objects[2]->ref, {1.0, 2.0, 3.0});
  HostPosition p{};
  h::GetPosition(objects[0]->ref, &p);
  EXPECT_TRUE(Faults().empty());
  EXPECT_EQ(3u, model_->snapshot().objects.size());
  EXPECT_DOUBLE_EQ(2.0, model_->snapshot().objects[1].position.lon);
  HostObject* gone = objects[1];
  h::DestroyObject(gone);
  EXPECT_EQ(Faults(), std::vector<std::string>{
                          "destroy object: not an object of this host"});
}

TEST_F(HostSlots, UserAircraftRadiosAndGeometry) {
  model_->modify([](sim::HostState& s) {
    s.user.position = {3600.0 * 47.5, 3600.0 * 237.7, 1200.0};
    s.user.speed = 100.0f;
    s.user.com1 = 118.7f;
    s.user.transponder.code = 7700;
  });
  AircraftRef user{};
  h::UserAircraft(&user);
  EXPECT_TRUE(h::UserAircraftPresent());
  HostPosition p{};
  h::GetPosition(user, &p);
  EXPECT_DOUBLE_EQ(3600.0 * 237.7, p.lon) << "0..360 east";
  EXPECT_FLOAT_EQ(118.7f, h::GetRadio(user, kRadioCom, 1, 0));
  EXPECT_FLOAT_EQ(7700.0f, h::GetRadio(user, kRadioTransponder, 1, 0));
  h::SetRadio(user, kRadioCom, 1, 122.8f);
  EXPECT_FLOAT_EQ(122.8f, h::GetRadio(user, kRadioCom, 1, 0));

  // One arc-minute of latitude is one nautical mile, east or west alike.
  HostPosition a{180000.0, 3600.0 * 350.0, 0}, b{180060.0, 3600.0 * 350.0, 0};
  EXPECT_NEAR(6076.0, h::DistanceFeet(a, b), 0.5);
  HostPosition c{0, -36.0, 0}, d{0, 3600.0 * 360.0 - 36.0, 0};
  EXPECT_NEAR(0.0, h::DistanceFeet(c, d), 0.5);
  EXPECT_FLOAT_EQ(350.0f, h::Normalise360(-10.0f));
  EXPECT_FLOAT_EQ(10.0f, h::Normalise360(730.0f));
  EXPECT_FLOAT_EQ(-170.0f, h::Normalise180(190.0f));
  EXPECT_FLOAT_EQ(170.0f, h::Normalise180(-190.0f));
}

TEST_F(HostSlots, TransponderAnswersTheMessageRecordOfItsDestination) {
  model_->modify([](sim::HostState& s) {
    s.user.transponder = {6, 1, 1200, FourCC("xpdr")};
  });
  HostMessage m{};
  m.id = FourCC("getd");
  m.destination = FourCC("kt76");
  m.valueType = FourCC("int ");
  m.dataTag = FourCC("mode");
  h::SendHostMessage(&m);
  EXPECT_EQ(0u, m.receiver) << "nobody listens under 'kt76'";
  m.destination = FourCC("xpdr");
  h::SendHostMessage(&m);
  EXPECT_NE(0u, m.receiver);
  std::int32_t answer = 0;
  std::memcpy(&answer, reinterpret_cast<unsigned char*>(&m) + 24, 4);
  EXPECT_EQ(6, answer);
  m.dataTag = FourCC("rply");
  h::SendHostMessage(&m);
  std::memcpy(&answer, reinterpret_cast<unsigned char*>(&m) + 24, 4);
  EXPECT_EQ(1, answer);
  EXPECT_EQ(FourCC("int "), m.valueType);
}

// The byte offsets are written out: they are the host's record layouts that
// the flight plan window reads.
TEST_F(HostSlots, FlightPlanIsALinkedListOfHostNodes) {
  EXPECT_EQ(nullptr, h::GetFlightPlan());
  model_->modify([](sim::HostState& s) {
    s.plan = {{2, "EDDF", 0, 364}, {3, "SPESA", 250, 24000}, {5, "HOLD", 0, 0}};
    s.departure = "EDDF";
    s.timeHour = 9;
    s.timeMinute = 5;
  });
  auto* first = static_cast<unsigned char*>(h::GetFlightPlan());
  ASSERT_NE(nullptr, first);
  std::int32_t kind = 0;
  std::memcpy(&kind, first + 0, 4);
  EXPECT_EQ(2, kind);
  EXPECT_STREQ("EDDF", reinterpret_cast<char*>(first + 184));
  unsigned char* second = nullptr;
  std::memcpy(&second, first + 460, sizeof second);
  ASSERT_NE(nullptr, second);
  std::memcpy(&kind, second + 0, 4);
  EXPECT_EQ(3, kind);
  EXPECT_STREQ("SPESA", reinterpret_cast<char*>(second + 144));
  float speed = 0, altitude = 0;
  std::memcpy(&speed, second + 132, 4);
  std::memcpy(&altitude, second + 136, 4);
  EXPECT_FLOAT_EQ(250.0f, speed);
  EXPECT_FLOAT_EQ(24000.0f, altitude);
  unsigned char* third = nullptr;
  std::memcpy(&third, second + 460, sizeof third);
  ASSERT_NE(nullptr, third);
  std::memcpy(&kind, third + 0, 4);
  EXPECT_EQ(5, kind);
  void* end = &end;
  std::memcpy(&end, third + 460, sizeof end);
  EXPECT_EQ(nullptr, end);
  EXPECT_EQ(1, model_->outstandingFlightPlans());
  h::ReleaseFlightPlan(first);
  EXPECT_EQ(0, model_->outstandingFlightPlans());

  static_assert(sizeof(AirportRecord) == 456, "the airport record");
  AirportRecord dep{}, dest{};
  h::DepartureAirport(&dep);
  h::DestinationAirport(&dest);
  std::int32_t has = 0;
  std::memcpy(&has, dep.bytes + 0, 4);
  EXPECT_EQ(1, has);
  EXPECT_STREQ("EDDF", reinterpret_cast<char*>(dep.bytes + 191));
  std::memcpy(&has, dest.bytes + 0, 4);
  EXPECT_EQ(0, has);

  alignas(TimeOfDay) unsigned char clock[16];
  std::memset(clock, 0xff, sizeof clock);
  h::GetTimeOfDay(reinterpret_cast<TimeOfDay*>(clock));
  std::int32_t hour = -1, minute = -1;
  std::memcpy(&hour, clock + 0, 4);
  std::memcpy(&minute, clock + 4, 4);
  EXPECT_EQ(9, hour);
  EXPECT_EQ(5, minute);
}

TEST_F(HostSlots, NearestAirportAndMetarWeather) {
  NearestAirportRecord record{};
  // Near Seattle, the user's longitude counted 0..360 east.
  h::NearestAirport({47.45 * 3600, (360 - 122.31) * 3600, 0}, &record);
  EXPECT_STREQ("KSEA",
               reinterpret_cast<char*>(record.bytes + kNearestIdentOffset));
  float elevation = 0;
  std::memcpy(&elevation, record.bytes + kNearestElevationOffset, 4);
  EXPECT_FLOAT_EQ(433.0f, elevation);

  h::LoadMetarFile(root_.file("EXAMPLE.metar").c_str());
  WeatherRecord w{};
  h::GetWeather(&w);
  EXPECT_EQ(240, w.windDirection);
  EXPECT_EQ(10, w.windSpeed);
  EXPECT_EQ(25, w.gustSpeed);
  EXPECT_NEAR(29.91, w.altimeter, 0.01);
  EXPECT_EQ(8192, w.stormFlag);
  EXPECT_EQ(1, w.cloud[0].present);
  EXPECT_EQ(3000, w.cloud[0].base);
  EXPECT_EQ(4, w.cloud[2].coverage) << "BKN080; OVC120 is a fourth group";
  EXPECT_EQ(8000, w.cloud[2].base);
  auto extras = model_->snapshot().weatherExtras;
  EXPECT_EQ(12, extras.temperature);
  EXPECT_EQ(9999, extras.visibilityMeters);

  w.cloud[1].thickness = 1500;
  h::SetWeather(w);
  WeatherRecord again{};
  h::GetWeather(&again);
  EXPECT_EQ(0, std::memcmp(&w, &again, sizeof w));
  WindsAloftRecord winds{};
  winds.band[13] = {270, 80, {}};
  h::SetWindsAloft(winds);
  WindsAloftRecord back{};
  h::GetWindsAloft(&back);
  EXPECT_EQ(270, back.band[13].direction);
}

TEST_F(HostSlots, LibrariesLoadByNameFromTheFolderAndEveryStepIsRecorded) {
  std::filesystem::copy_file(SIM_PROBE_PLUGIN_PATH, root_.file("libprobe.so"));
  void* library = h::LoadHostLibrary("probe");
  ASSERT_NE(nullptr, library);
  EXPECT_EQ(nullptr, h::LoadHostLibrary("TSRemote"));
  EXPECT_NE(nullptr, h::FindExport(library, "DLLInit"));
  EXPECT_EQ(nullptr, h::FindExport(library, "tsrConnect"));
  EXPECT_EQ(1, model_->openLibraries());
  h::ReleaseLibrary(library);
  EXPECT_EQ(0, model_->openLibraries());
  auto events = model_->snapshot().libraries;
  ASSERT_EQ(5u, events.size());
  EXPECT_EQ("load", events[0].op);
  EXPECT_TRUE(events[0].ok);
  EXPECT_EQ("TSRemote", events[1].name);
  EXPECT_FALSE(events[1].ok);
  EXPECT_EQ("find", events[2].op);
  EXPECT_TRUE(events[2].ok);
  EXPECT_FALSE(events[3].ok);
  EXPECT_EQ("release", events[4].op);
}

TEST_F(HostSlots, MessagesAlertsMenusTimeAndHelp) {
  h::TimedMessage("Creating Talvix Window...", 1.0f);
  h::Alert("first");
  h::Alert("second");
  EXPECT_EQ(1, h::AddMenu(kMenuBar, FourCC("plug"), "Plugins"));
  EXPECT_EQ(1, h::AddMenuItem(FourCC("plug"), FourCC("txMN"), "Talvix"));
  EXPECT_EQ(0, h::AddMenuItem(FourCC("none"), FourCC("txMN"), "Talvix"));
  EXPECT_TRUE(model_->snapshot().keyHelp);  // shown at start
  h::HelpToggleA();
  EXPECT_FALSE(model_->snapshot().keyHelp);
  h::HelpToggleA();  // hiding twice leaves them hidden
  EXPECT_FALSE(model_->snapshot().keyHelp);
  h::HelpToggleB();
  h::HelpToggleB();
  model_->modify([](sim::HostState& s) {
    s.timeHour = 14;
    s.timeMinute = 5;
  });
  TimeOfDay t{};
  h::GetTimeOfDay(&t);
  EXPECT_EQ(14, t.hour);
  EXPECT_EQ(5, t.minute);
  auto s = model_->snapshot();
  ASSERT_EQ(1u, s.notices.size());
  EXPECT_FLOAT_EQ(1.0f, s.notices[0].seconds);
  EXPECT_EQ((std::vector<std::string>{"first", "second"}), s.alerts);
  ASSERT_EQ(1u, s.menus.size());
  EXPECT_EQ("Talvix", s.menus[0].items.at(0).text);
  EXPECT_EQ(2, s.helpToggleA);
  EXPECT_EQ(2, s.helpToggleB);
  EXPECT_TRUE(s.keyHelp);
}

// A host that fills a text buffer to the brim without a NUL, or writes
// nothing at all: every text read still comes back terminated, cut to one
// byte short of the buffer, and empty when the host wrote nothing.
bool g_hostFills = false;
void Fill(char* buffer, int size) {
  if (g_hostFills && buffer != nullptr) std::memset(buffer, 'x', size);
}
void TALVIX_CALL FillText(int, int, char* buffer, int size) {
  Fill(buffer, size);
}
int TALVIX_CALL FillPopup(int, int, char* buffer, int size) {
  Fill(buffer, size);
  return 3;
}
void TALVIX_CALL FillCell(int, int, int, int, char* buffer, int size) {
  Fill(buffer, size);
}
void TALVIX_CALL FillSetting(const char*, const char*, char* buffer, int size) {
  Fill(buffer, size);
}

TEST(HostTextReads, AreTerminatedWhateverTheHostWrites) {
  HostServicesTable table{};
  table.slot[kSlotGetText] = reinterpret_cast<HostSlot>(&FillText);
  table.slot[kSlotGetPopupSelection] = reinterpret_cast<HostSlot>(&FillPopup);
  table.slot[kSlotListGetCell] = reinterpret_cast<HostSlot>(&FillCell);
  table.slot[kSlotReadSettingText] = reinterpret_cast<HostSlot>(&FillSetting);
  h::Install(&table, 4242);
  struct Read {
    const char* name;
    void (*read)(char* buffer, int size);
    bool keepsOldTextWhenSilent;  // a missing setting keeps the default
  };
  const Read reads[] = {
      {"GetText", [](char* b, int n) { h::GetText(kWin, kList, b, n); }, false},
      {"GetPopupSelection",
       [](char* b, int n) {
         EXPECT_EQ(3, h::GetPopupSelection(kWin, kPopup, b, n));
       },
       false},
      {"ListGetCell",
       [](char* b, int n) { h::ListGetCell(kWin, kList, 0, 1, b, n); }, false},
      {"ReadSettingText",
       [](char* b, int n) { h::ReadSettingText("Key", b, n); }, true},
  };
  for (const Read& read : reads) {
    SCOPED_TRACE(read.name);
    for (const bool fills : {true, false}) {
      g_hostFills = fills;
      char buffer[8] = "old";
      buffer[7] = '!';
      read.read(buffer, 6);
      EXPECT_STREQ(fills                         ? "xxxxx"
                   : read.keepsOldTextWhenSilent ? "old"
                                                 : "",
                   buffer);
      EXPECT_EQ('!', buffer[7]) << "nothing written past the size";
      // A zero size or no buffer at all is never written to.
      char untouched[4] = "abc";
      read.read(untouched, 0);
      EXPECT_STREQ("abc", untouched);
      // One byte holds only the NUL.
      read.read(untouched, 1);
      EXPECT_STREQ("", untouched);
      read.read(nullptr, 6);
    }
  }
  g_hostFills = false;
}

}  // namespace
