// Other pilots' "@" lines turned into AI aircraft of the stand-in host:
// range, creation, movement, the popup items and the ageing.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/number_format.h"
#include "net/packet.h"
#include "protocol/handlers.h"
#include "tests/traffic/direct_host.h"
#include "traffic/traffic_table.h"

namespace talvix {
namespace {

using testing::ArcSeconds;

constexpr char kGuardLine[] = "****> handleAT - Talvix: Exception caught.";

class PilotPositionsTest : public testing::DirectHostTest {
 protected:
  void SetUp() override {
    DirectHostTest::SetUp();
    // The user sits on the equator at 10 degrees east.
    user([](sim::UserAircraft& u) {
      u.position = {0.0, ArcSeconds(10.0), 1000.0};
    });
    UpdateFlyParameters();
  }
  void report(const std::string& callsign, const std::string& lat = "0.0",
              const std::string& lon = "10.0", const std::string& alt = "3500",
              const std::string& knots = "120", const std::string& word = "0",
              const std::string& adj = "0") {
    Packet line(("@N:" + callsign + ":1200:1:" + lat + ":" + lon + ":" + alt +
                 ":" + knots + ":" + word + ":" + adj)
                    .c_str());
    handleAT(&line);
  }
  void line(const std::string& text) {
    Packet packet(text.c_str());
    handleAT(&packet);
  }
};

TEST_F(PilotPositionsTest, ANewPilotInRangeGetsAnObjectANoticeAndAnItem) {
  report("PIL1", "0.1", "10.2", "3500", "120", "1024", "0");
  const sim::HostState s = state();
  ASSERT_EQ(s.objects.size(), 1u);
  const sim::SimObject& o = s.objects[0];
  EXPECT_EQ(o.model, "tvox\\C172.tvx");
  EXPECT_EQ(o.names[0], "PIL1");
  EXPECT_EQ(o.names[1], "PIL1");
  EXPECT_DOUBLE_EQ(o.position.lat, 0.1 * 3600);
  EXPECT_DOUBLE_EQ(o.position.lon, 10.2 * 3600);
  EXPECT_DOUBLE_EQ(o.position.alt, 3500);
  EXPECT_NEAR(o.orientation.y, M_PI / 2, 1e-6);  // heading field 256
  EXPECT_EQ(notices("Added: PIL1"), 1);
  EXPECT_EQ(pilotItems(), std::vector<std::string>{"PIL1"});
  TrafficRecord* record = FindTraffic("PIL1");
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(Traffic().ticksLeft(record), 8);
  EXPECT_EQ(record->itemNumber, 1);
  EXPECT_EQ(record->peerVersion, 0);
  EXPECT_EQ(std::memcmp(&record->reference, &o.record->ref, 12), 0);
}

TEST_F(PilotPositionsTest, TheServersEchoOfTheOwnReportIsIgnored) {
  report("ABC");
  report("ABC", "0.0", "10.0");
  EXPECT_EQ(Traffic().count(), 0);
  EXPECT_TRUE(state().objects.empty());
  // Only the exact callsign is the own one.
  report("ABCD");
  EXPECT_EQ(Traffic().count(), 1);
}

TEST_F(PilotPositionsTest, RangeZeroShowsOnlyAPilotAtTheSameSpot) {
  MPDistance() = 0;
  report("HERE", "0.0", "10.0");
  report("NEAR", "0.01", "10.0");
  EXPECT_NE(FindTraffic("HERE"), nullptr);
  EXPECT_EQ(FindTraffic("NEAR"), nullptr);
  // A listed pilot reporting from outside the range goes, silently.
  report("HERE", "0.01", "10.0");
  EXPECT_EQ(Traffic().count(), 0);
  EXPECT_TRUE(state().objects.empty());
  EXPECT_TRUE(pilotItems().empty());
  EXPECT_TRUE(history().empty());
}

TEST_F(PilotPositionsTest, APilotExactlyAtTheRangeIsShown) {
  MPDistance() = 15;  // 15 arc-minutes of latitude are exactly 15 nm
  report("EDGE", "0.25", "10.0");
  report("OUT", "0.2501", "10.0");
  report("SOUTH", "-0.25", "10.0");
  EXPECT_NE(FindTraffic("EDGE"), nullptr);
  EXPECT_NE(FindTraffic("SOUTH"), nullptr);
  EXPECT_EQ(FindTraffic("OUT"), nullptr);
}

TEST_F(PilotPositionsTest, TheAttitudeWordUnpacksIntoTenBitFields) {
  report("ALL", "0", "10", "0", "0", "4294967292");
  report("HDG", "0", "10", "0", "0", "1024");
  report("WRAP", "0", "10", "0", "0", "4294967296");  // wraps to 0
  const sim::HostState s = state();
  const sim::SimObject* all = object(s, "ALL");
  const sim::SimObject* hdg = object(s, "HDG");
  const sim::SimObject* wrap = object(s, "WRAP");
  ASSERT_TRUE(all && hdg && wrap);
  // Field 1023 is 359.6484375 degrees: signed for pitch and bank.
  const double kSigned = -0.3515625 * 0.017453294;
  EXPECT_NEAR(all->orientation.x, kSigned, 1e-7);
  EXPECT_NEAR(all->orientation.z, kSigned, 1e-7);
  EXPECT_NEAR(all->orientation.y, 359.6484375 * 0.017453294, 1e-5);
  EXPECT_DOUBLE_EQ(hdg->orientation.x, 0.0);
  EXPECT_DOUBLE_EQ(hdg->orientation.z, 0.0);
  EXPECT_NEAR(hdg->orientation.y, 90 * 0.017453294, 1e-6);
  EXPECT_DOUBLE_EQ(wrap->orientation.y, 0.0);

  // Distinct fields: pitch 1, bank 2, heading 3, and bits 1-0 set.
  report("BITS", "0", "10", "0", "0",
         std::to_string((1u << 22) | (2u << 12) | (3u << 2) | 3u));
  const auto bits = objectNamed("BITS");
  ASSERT_TRUE(bits);
  const double step = 360.0 / 1024 * 0.017453294;
  EXPECT_NEAR(bits->orientation.x, 1 * step, 1e-6);
  EXPECT_NEAR(bits->orientation.z, 2 * step, 1e-6);
  EXPECT_NEAR(bits->orientation.y, 3 * step, 1e-6);
}

TEST_F(PilotPositionsTest, HostileNumbersNeverReachTheHostUnfinite) {
  MPDistance() = 2147483647;  // every place on earth and beyond is in range
  report("HUGE", "37.6189", "-1e308", "3000");
  report("HEX", "0x10", "10", "0x10");
  report("WORDS", "inf", "nan", "infinity");
  report("ALT", "0", "10", "1e308", "2147483647", "0", "2147483647");
  report("ALT", "0", "10", "-1e308", "-2147483648", "0", "-2147483648");
  for (const sim::SimObject& o : state().objects) {
    SCOPED_TRACE(o.names[0]);
    for (double v : {o.position.lat, o.position.lon, o.position.alt,
                     o.velocity.x, o.velocity.y, o.velocity.z})
      EXPECT_TRUE(std::isfinite(v));
  }
  EXPECT_DOUBLE_EQ(objectNamed("HUGE")->position.lon, 0.0);
  EXPECT_DOUBLE_EQ(objectNamed("HEX")->position.lat, 0.0);
  EXPECT_DOUBLE_EQ(objectNamed("HEX")->position.alt, 0.0);
  EXPECT_DOUBLE_EQ(objectNamed("WORDS")->position.lat, 0.0);
  EXPECT_DOUBLE_EQ(objectNamed("WORDS")->position.lon, 0.0);
  EXPECT_EQ(Traffic().count(), 4);
}

TEST_F(PilotPositionsTest, AltitudeAdjustmentAtCreationOffsetOnUpdates) {
  AltitudeOffset() = 100;
  report("ALT", "0", "10", "3500", "120", "0", "200");
  auto at = [&] { return objectNamed("ALT")->position.alt; };
  EXPECT_DOUBLE_EQ(at(), 3700);
  report("ALT", "0", "10", "3500", "120", "0", "200");
  EXPECT_DOUBLE_EQ(at(), 3800);
  report("ALT", "0", "10", "3600.5", "120", "0", "-50");
  EXPECT_DOUBLE_EQ(at(), 3650.5);
}

TEST_F(PilotPositionsTest, SlowPilotsGetASpeedFastOnesAVelocity) {
  report("FAST", "0", "10", "3500", "120", "1024");  // heading east
  report("FAST", "0", "10.01", "3600", "120", "1024");
  report("CRAWL", "0", "10", "0", "3");
  report("CRAWL", "0", "10", "0", "3");
  report("SLOW", "0", "10", "0", "4", "0");  // heading north
  report("SLOW", "0", "10", "10", "4", "0");
  EXPECT_EQ(FindTraffic("FAST")->speed, 202);
  EXPECT_EQ(FindTraffic("CRAWL")->speed, 5);
  EXPECT_EQ(FindTraffic("SLOW")->speed, 6);
  const sim::HostState s = state();
  const sim::SimObject* fast = object(s, "FAST");
  EXPECT_NEAR(fast->velocity.x, 202, 1e-3);
  EXPECT_NEAR(fast->velocity.y, 20, 1e-9);  // 100 ft in five seconds
  EXPECT_NEAR(fast->velocity.z, 0, 1e-3);
  const sim::SimObject* crawl = object(s, "CRAWL");
  EXPECT_FLOAT_EQ(crawl->speed, 5.0f);
  EXPECT_DOUBLE_EQ(crawl->velocity.x, 0.0);
  EXPECT_DOUBLE_EQ(crawl->velocity.z, 0.0);
  const sim::SimObject* slow = object(s, "SLOW");
  EXPECT_NEAR(slow->velocity.z, 6, 1e-9);
  EXPECT_NEAR(slow->velocity.y, 2, 1e-9);
  // Fractions of a knot are dropped; hostile speeds do not overflow.
  report("FAST", "0", "10", "0", "250.7");
  EXPECT_EQ(FindTraffic("FAST")->speed, 421);
  report("FAST", "0", "10", "0", "99999999999");
  EXPECT_GT(FindTraffic("FAST")->speed, 0);
}

TEST_F(PilotPositionsTest, EightSilentTicksRemoveAPilotAReportResetsTheCount) {
  report("GONE");
  report("KEPT");
  report("LAST");
  for (int tick = 1; tick <= 7; ++tick) AgeTraffic();
  EXPECT_EQ(Traffic().count(), 3);
  EXPECT_TRUE(history().empty());
  report("KEPT");  // on the seventh tick
  EXPECT_EQ(Traffic().ticksLeft(FindTraffic("KEPT")), 8);
  AgeTraffic();
  EXPECT_EQ(FindTraffic("GONE"), nullptr);
  EXPECT_EQ(FindTraffic("LAST"), nullptr);
  // Told from the last pilot listed down.
  EXPECT_EQ(history(),
            (std::vector<std::string>{"Removing acft: LAST (not responding)",
                                      "Removing acft: GONE (not responding)"}));
  EXPECT_EQ(pilotItems(), std::vector<std::string>{"KEPT"});
  ASSERT_EQ(Traffic().count(), 1);
  EXPECT_EQ(Traffic().at(0), FindTraffic("KEPT"));
  EXPECT_FALSE(objectNamed("GONE"));
  // KEPT goes on the eighth tick after its report: one above, seven more.
  for (int tick = 2; tick <= 7; ++tick) AgeTraffic();
  EXPECT_NE(FindTraffic("KEPT"), nullptr);
  AgeTraffic();
  EXPECT_EQ(Traffic().count(), 0);
  EXPECT_TRUE(state().objects.empty());
}

TEST_F(PilotPositionsTest, CallsignsDifferingInCaseAreTwoPilots) {
  report("Pil1");
  report("PIL1");
  report("PIL1");
  EXPECT_EQ(Traffic().count(), 2);
  EXPECT_EQ(state().objects.size(), 2u);
  EXPECT_EQ(pilotItems(), (std::vector<std::string>{"Pil1", "PIL1"}));
}

TEST_F(PilotPositionsTest, OverlongCallsignsAreCutAndFoundAgain) {
  const std::string longName(40, 'Q');
  report(longName);
  report(longName);
  ASSERT_EQ(Traffic().count(), 1);
  EXPECT_EQ(std::string(Traffic().at(0)->callsign), std::string(31, 'Q'));
  EXPECT_EQ(pilotItems(), std::vector<std::string>{std::string(31, 'Q')});
}

TEST_F(PilotPositionsTest, AShortLineChangesNothing) {
  report("PIL1");
  line("@N:PIL1:1200:1:0:10.5:9000:300:0");  // nine fields: out of range
  line("@N:NEW1:1200:1:0:10:9000:300:0");
  line("@N");
  EXPECT_EQ(history(), std::vector<std::string>(3, kGuardLine));
  EXPECT_EQ(Traffic().count(), 1);
  EXPECT_DOUBLE_EQ(objectNamed("PIL1")->position.alt, 3500);
  // Extra fields are ignored; numbers that are not numbers read as 0.
  line("@N:NEW2:x:y:zz:10:junk:fast:many:none:extra:fields");
  auto made = objectNamed("NEW2");
  ASSERT_TRUE(made);
  EXPECT_DOUBLE_EQ(made->position.alt, 0);
  EXPECT_EQ(FindTraffic("NEW2")->speed, 0);
  // Texts that read as infinite or not a number count as 0.
  line("@N:NAN1:1:1:nan:10:inf:1:1:1");
  auto odd = objectNamed("NAN1");
  ASSERT_TRUE(odd);
  EXPECT_DOUBLE_EQ(odd->position.lat, 0);
  EXPECT_DOUBLE_EQ(odd->position.alt, 1);
}

TEST_F(PilotPositionsTest, PopupItemsStayInStepAlthoughNumbersRepeat) {
  report("A");
  report("B");
  report("C");
  report("A", "5", "10");  // out of range: A goes
  report("D");             // item number 3 again, like C's
  EXPECT_EQ(FindTraffic("C")->itemNumber, 3);
  EXPECT_EQ(FindTraffic("D")->itemNumber, 3);
  EXPECT_EQ(pilotItems(), (std::vector<std::string>{"B", "C", "D"}));
  report("C", "5", "10");
  EXPECT_EQ(pilotItems(), (std::vector<std::string>{"B", "D"}));
  report("E");
  report("B", "5", "10");
  EXPECT_EQ(pilotItems(), (std::vector<std::string>{"D", "E"}));
  for (int tick = 0; tick < 8; ++tick) AgeTraffic();
  EXPECT_TRUE(pilotItems().empty());
}

TEST_F(PilotPositionsTest, WithoutTheDefaultModelTheRecordNeverReachesTheHost) {
  removeFile("tvox/C172.tvx");
  report("GHOST", "0", "10", "3500", "120", "1024");
  TrafficRecord* record = FindTraffic("GHOST");
  ASSERT_NE(record, nullptr);
  EXPECT_EQ(record->object, nullptr);
  EXPECT_EQ(notices("Added: GHOST"), 0);
  EXPECT_EQ(pilotItems(), std::vector<std::string>{"GHOST"});
  EXPECT_EQ(state().failedCreates, std::vector<std::string>{"tvox\\C172.tvx"});
  // Updates change only the record; the host sees no unknown object.
  report("GHOST", "0", "10.01", "3600", "120", "1024");
  EXPECT_EQ(record->speed, 202);
  EXPECT_DOUBLE_EQ(record->position.alt, 3600);
  for (int tick = 0; tick < 8; ++tick) AgeTraffic();
  EXPECT_EQ(Traffic().count(), 0);
}

TEST_F(PilotPositionsTest, AFullTableIgnoresTheNextPilot) {
  removeFile("tvox/C172.tvx");  // records without objects keep this quick
  for (int i = 0; i < kTrafficSlots; ++i) report("P" + std::to_string(i));
  ASSERT_EQ(Traffic().count(), kTrafficSlots);
  report("ONEMORE");
  EXPECT_EQ(Traffic().count(), kTrafficSlots);
  EXPECT_EQ(FindTraffic("ONEMORE"), nullptr);
  EXPECT_EQ(pilotItems().size(), static_cast<std::size_t>(kTrafficSlots));
  // Room again after one leaves; the newcomer's item takes the one id free.
  report("P100", "5", "10");
  report("ONEMORE");
  ASSERT_NE(FindTraffic("ONEMORE"), nullptr);
  EXPECT_EQ(FindTraffic("ONEMORE")->popupId, 101);
  // Every third leaves from amid the others; the rest are found, in order.
  for (int i = 0; i < kTrafficSlots; i += 3)
    report("P" + std::to_string(i), "5", "10");
  for (int i = 0; i < kTrafficSlots; ++i) {
    const std::string callsign = "P" + std::to_string(i);
    const TrafficRecord* found = FindTraffic(callsign.c_str());
    ASSERT_EQ(found == nullptr, i % 3 == 0 || i == 100) << callsign;
    if (found != nullptr) {
      EXPECT_STREQ(found->callsign, callsign.c_str());
    }
  }
  EXPECT_STREQ(Traffic().at(0)->callsign, "P1");
  // All but P1 go in one tick: the history holds the last 200 lines.
  const std::string line199 =
      std::string("Removing acft: ") + Traffic().at(200)->callsign;
  for (int tick = 0; tick < 7; ++tick) AgeTraffic();
  report("P1");
  AgeTraffic();
  ASSERT_EQ(Traffic().count(), 1);
  EXPECT_EQ(FindTraffic("P1"), Traffic().at(0));
  const std::vector<std::string> lines = history();
  ASSERT_EQ(lines.size(), 200u);
  EXPECT_EQ(lines.front(), line199 + " (not responding)");
  EXPECT_EQ(lines.back(), "Removing acft: P2 (not responding)");
  EXPECT_EQ(lines[198], "Removing acft: P4 (not responding)");
  RemoveAllTraffic();
  EXPECT_TRUE(pilotItems().empty());
}

}  // namespace
}  // namespace talvix
