// Replacing a pilot's default model with the one its client announced.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/packet.h"
#include "protocol/handlers.h"
#include "tests/traffic/direct_host.h"
#include "traffic/aircraft_choice.h"
#include "traffic/traffic_table.h"

namespace talvix {
namespace {

class ModelChangeTest : public testing::DirectHostTest {
 protected:
  TrafficRecord* pilot(const char* callsign) {
    user([](sim::UserAircraft& u) { u.position = {0.0, 36000.0, 0.0}; });
    UpdateFlyParameters();
    Packet line((std::string("@N:") + callsign + ":1200:1:0:10:3500:120:1024:0")
                    .c_str());
    handleAT(&line);
    return FindTraffic(callsign);
  }
};

TEST_F(ModelChangeTest, TheAnnouncedModelReplacesTheDefault) {
  TrafficRecord* record = pilot("PIL1");
  ASSERT_NE(record, nullptr);
  HostObject* before = record->object;
  EXPECT_TRUE(ChangeModel(record, "~B738", '1'));
  const sim::HostState s = state();
  ASSERT_EQ(s.objects.size(), 1u);  // the old one is gone
  EXPECT_EQ(s.objects[0].model, "tvox\\B738.tvx");
  EXPECT_EQ(s.objects[0].names[0], "PIL1");
  EXPECT_EQ(s.objects[0].names[1], "PIL1 - ~B738");
  EXPECT_NE(record->object, before);
  EXPECT_EQ(std::memcmp(&record->reference, &s.objects[0].record->ref, 12), 0);
  EXPECT_EQ(notices("Changed PIL1 to type: B738"), 1);
  // The next report moves the new object.
  pilot("PIL1");
  EXPECT_DOUBLE_EQ(state().objects[0].position.alt, 3500);
  EXPECT_EQ(Traffic().ticksLeft(record), 8);
}

TEST_F(ModelChangeTest, AnUnknownCodeFallsBackToTheEngineDefault) {
  TrafficRecord* record = pilot("PIL1");
  EXPECT_FALSE(ChangeModel(record, "ZZZZ", '2'));
  const sim::HostState s = state();
  ASSERT_EQ(s.objects.size(), 1u);
  EXPECT_EQ(s.objects[0].model, "tvox/def_plannor_acft.tvx");
  EXPECT_EQ(s.objects[0].names[1], "PIL1");
  EXPECT_EQ(s.failedCreates, std::vector<std::string>{"tvox\\ZZZZ.tvx"});
  EXPECT_EQ(state().notices.size(), 1u);  // only "Added: PIL1"
  for (auto [digit, file] : {std::pair{'0', "def_piston_acft"},
                             {'1', "def_jet_acft"},
                             {'3', "def_turbin_acft"}}) {
    EXPECT_FALSE(ChangeModel(record, "ZZZZ", digit));
    EXPECT_EQ(state().objects[0].model, std::string("tvox/") + file + ".tvx");
  }
}

TEST_F(ModelChangeTest, NothingLoadableLeavesTheRecordAsItWas) {
  TrafficRecord* record = pilot("PIL1");
  HostObject* before = record->object;
  EXPECT_FALSE(ChangeModel(record, "ZZZZ", '9'));
  EXPECT_FALSE(ChangeModel(record, "ZZZZ", '\0'));
  // An unknown digit tries the code's own file once more, from tvox/.
  EXPECT_EQ(state().failedCreates.back(), "tvox/ZZZZ.tvx");
  removeFile("tvox/def_jet_acft.tvx");
  EXPECT_FALSE(ChangeModel(record, "~ZZZZ", '1'));
  EXPECT_EQ(record->object, before);
  ASSERT_EQ(state().objects.size(), 1u);
  EXPECT_EQ(state().objects[0].model, "tvox\\C172.tvx");
}

TEST_F(ModelChangeTest, TheNoticeShowsTheFirstFourCharactersOfTheFile) {
  writeFile("tvox/A3.tvx", "Talvix traffic model A3\n");
  TrafficRecord* record = pilot("PIL1");
  EXPECT_TRUE(ChangeModel(record, "A3", '1'));
  EXPECT_EQ(notices("Changed PIL1 to type: A3.t"), 1);
  EXPECT_EQ(state().objects[0].names[1], "PIL1 - A3");
}

TEST_F(ModelChangeTest, ACodeCannotNameAFileOutsideTheModelFolder) {
  writeFile("secret.tvx", "not a model\n");
  TrafficRecord* record = pilot("PIL1");
  EXPECT_FALSE(ChangeModel(record, "~../secret", '1'));
  EXPECT_FALSE(ChangeModel(record, "..\\secret", '7'));
  EXPECT_EQ(state().objects[0].model, "tvox/def_jet_acft.tvx");
  for (const auto& failed : state().failedCreates) {
    EXPECT_EQ(failed.find("secret"), std::string::npos) << failed;
  }
  // Up to 32 letters, digits, '-' and '_', the bounds of each range too.
  const std::string longest = "AZaz09-_" + std::string(24, 'm');
  writeFile("tvox/" + longest + ".tvx", "Talvix traffic model\n");
  writeFile("tvox/" + longest + "m.tvx", "Talvix traffic model\n");
  EXPECT_TRUE(ChangeModel(record, longest.c_str(), '1'));
  EXPECT_EQ(state().objects[0].model, "tvox\\" + longest + ".tvx");
  EXPECT_FALSE(ChangeModel(record, (longest + "m").c_str(), '1'));
  EXPECT_EQ(state().objects[0].model, "tvox/def_jet_acft.tvx");
}

TEST_F(ModelChangeTest, ARecordWithoutObjectKeepsNone) {
  removeFile("tvox/C172.tvx");
  TrafficRecord* record = pilot("GHOST");
  ASSERT_EQ(record->object, nullptr);
  EXPECT_TRUE(ChangeModel(record, "~B738", '1'));
  EXPECT_FALSE(ChangeModel(record, "ZZZZ", '1'));
  EXPECT_EQ(record->object, nullptr);
  EXPECT_TRUE(state().objects.empty());
  EXPECT_TRUE(state().notices.empty());
}

}  // namespace
}  // namespace talvix
