// Other pilots' "#TX" answers: the announced model and the client version.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/packet.h"
#include "protocol/handlers.h"
#include "tests/traffic/direct_host.h"
#include "traffic/traffic_table.h"

namespace talvix {
namespace {

constexpr char kInnerGuard[] =
    "handleMultiplayerType: Talvix exception handled.";
constexpr char kOuterGuard[] =
    "*****> handleTX - Talvix: Exception caught. Notify author.";

class TypeAnswersTest : public testing::DirectHostTest {
 protected:
  void SetUp() override {
    DirectHostTest::SetUp();
    user([](sim::UserAircraft& u) { u.position = {0.0, 36000.0, 0.0}; });
    UpdateFlyParameters();
    Packet line("@N:PIL1:1200:1:0:10:3500:120:1024:0");
    handleAT(&line);
    ASSERT_NE(FindTraffic("PIL1"), nullptr);
  }
  void tx(const std::string& text) {
    Packet packet(text.c_str());
    handleTX(&packet);
  }
  std::string model() const {
    const sim::HostState s = state();
    const sim::SimObject* o = object(s, "PIL1");
    return o ? o->model : "(none)";
  }
};

TEST_F(TypeAnswersTest, ATypeAnswerReplacesTheModel) {
  tx("#TXPIL1:ABC:PI:X:0:1:~B738");
  EXPECT_EQ(model(), "tvox\\B738.tvx");
  EXPECT_EQ(notices("Changed PIL1 to type: B738"), 1);
  EXPECT_TRUE(history().empty());
}

TEST_F(TypeAnswersTest, AnUnknownTypeIsReportedWithTheCodeAsReceived) {
  tx("#TXPIL1:ABC:PI:X:0:3:~ZZ99");
  EXPECT_EQ(model(), "tvox/def_turbin_acft.tvx");
  tx("#TXPIL1:ABC:PI:X:0::~ZZ98");  // empty digit: no default either
  EXPECT_EQ(model(), "tvox/def_turbin_acft.tvx");
  EXPECT_EQ(state().failedCreates.back(), "tvox/ZZ98.tvx");
  EXPECT_EQ(history(), (std::vector<std::string>{"Unknown AI type : ~ZZ99",
                                                 "Unknown AI type : ~ZZ98"}));
}

TEST_F(TypeAnswersTest, AnswersCountOnlyForListedPilotsAndForUs) {
  tx("#TXNOBODY:ABC:PI:X:0:1:~B738");
  tx("#TXPIL1:abc:PI:X:0:1:~B738");  // another callsign, by case
  tx("#TXPIL1:XYZ:VI:31");
  EXPECT_EQ(model(), "tvox\\C172.tvx");
  EXPECT_EQ(FindTraffic("PIL1")->peerVersion, 0);
  tx("#TXPIL1:*P:VI:31");
  EXPECT_EQ(FindTraffic("PIL1")->peerVersion, 31);
  tx("#TXPIL1:*:VI:7b");
  EXPECT_EQ(FindTraffic("PIL1")->peerVersion, 7);
  tx("#TXPIL1:ABC:VI:none");
  EXPECT_EQ(FindTraffic("PIL1")->peerVersion, 0);
  tx("#TXPIL1:*:PI:X:0:1:~A320");
  EXPECT_EQ(model(), "tvox\\A320.tvx");
  EXPECT_TRUE(history().empty());
}

TEST_F(TypeAnswersTest, ShortLinesAreCaughtByTheirGuards) {
  tx("#TXPIL1:ABC:PI:X:0:1");  // no model field
  EXPECT_EQ(model(), "tvox\\C172.tvx");
  EXPECT_EQ(history(), std::vector<std::string>{kInnerGuard});
  tx("#TXPIL1:ABC");
  tx("#TX");
  EXPECT_EQ(history(),
            (std::vector<std::string>{kInnerGuard, kOuterGuard, kOuterGuard}));
  tx("#TXPIL1:ABC:XX:1:2:3:4");  // an unknown type does nothing
  EXPECT_EQ(history().size(), 3u);
}

}  // namespace
}  // namespace talvix
