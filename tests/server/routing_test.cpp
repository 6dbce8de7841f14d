#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "server_harness.h"

namespace netserver::testing {
namespace {

// Three logged-in clients ABC, DEF, GHI on one server.
class Routing : public ::testing::Test {
 protected:
  void connect(const std::string& address) {
    server = std::make_unique<InProcessServer>(address);
    for (const char* callsign : {"ABC", "DEF", "GHI"}) {
      clients.push_back(
          std::make_unique<TestClient>(server->address(), server->port()));
      clients.back()->login(callsign);
      ASSERT_TRUE(server->events().waitFor(std::string("login ") + callsign));
    }
  }
  // The server answers a ping to itself in order, so the answer proves that
  // nothing else was waiting for this client before it.
  void expectNothingMoreFor(std::size_t index, const std::string& callsign) {
    clients[index]->sendLine("$PI" + callsign + ":SERVER:barrier");
    EXPECT_EQ(clients[index]->readLine(), "$POserver:" + callsign + ":barrier");
  }
  TestClient& abc() { return *clients[0]; }
  TestClient& def() { return *clients[1]; }
  TestClient& ghi() { return *clients[2]; }

  std::unique_ptr<InProcessServer> server;
  std::vector<std::unique_ptr<TestClient>> clients;
};

TEST_F(Routing, PositionsGoToEveryoneButTheSender) {
  connect("127.0.0.52");
  const std::string position =
      "@N:ABC:1200:1:48.35340:-122.30920:3400:59:1020:0";
  abc().sendLine(position);
  EXPECT_EQ(def().readLine(), position);
  EXPECT_EQ(ghi().readLine(), position);
  expectNothingMoreFor(0, "ABC");
}

TEST_F(Routing, TextMessageToACallsignReachesOnlyThatCallsign) {
  connect("127.0.0.53");
  abc().sendLine("#TMABC:GHI:hello there");
  EXPECT_EQ(ghi().readLine(), "#TMABC:GHI:hello there");
  expectNothingMoreFor(1, "DEF");
  expectNothingMoreFor(0, "ABC");
}

TEST_F(Routing, BroadcastAndFrequencyMessagesReachEveryoneElse) {
  connect("127.0.0.53");
  for (const std::string line :
       {"#TMABC:*:all stations", "#TMABC:*P:all pilots",
        "#TMABC:@22800&@18150:on unicom"}) {
    abc().sendLine(line);
    EXPECT_EQ(def().readLine(), line);
    EXPECT_EQ(ghi().readLine(), line);
  }
  expectNothingMoreFor(0, "ABC");
}

TEST_F(Routing, QueriesAndAnswersFollowTheirAddressee) {
  connect("127.0.0.54");
  def().sendLine("#TXDEF:ABC:PIR");
  EXPECT_EQ(abc().readLine(), "#TXDEF:ABC:PIR");
  abc().sendLine("#TXABC:DEF:PI:X:0:1:~B738");
  EXPECT_EQ(def().readLine(), "#TXABC:DEF:PI:X:0:1:~B738");
  ghi().sendLine("$CQGHI:ABC:C?");
  EXPECT_EQ(abc().readLine(), "$CQGHI:ABC:C?");
  abc().sendLine("$CRABC:GHI:C?:122.800");
  EXPECT_EQ(ghi().readLine(), "$CRABC:GHI:C?:122.800");
  def().sendLine("$PIDEF:*:1:2:3");
  EXPECT_EQ(abc().readLine(), "$PIDEF:*:1:2:3");
  EXPECT_EQ(ghi().readLine(), "$PIDEF:*:1:2:3");
  abc().sendLine("$POABC:DEF:1:2:3");
  EXPECT_EQ(def().readLine(), "$POABC:DEF:1:2:3");
  expectNothingMoreFor(0, "ABC");
  expectNothingMoreFor(2, "GHI");
}

TEST_F(Routing, AddresseesCompareExactly) {
  connect("127.0.0.54");
  abc().sendLine("#TMABC:def:lower case");
  EXPECT_EQ(abc().readLine(), "$ERserver:ABC:7:def");
  expectNothingMoreFor(1, "DEF");
}

TEST_F(Routing, LinesUnderAnotherCallsignAreRefused) {
  connect("127.0.0.55");
  abc().sendLine("@N:DEF:1200:1:48.35340:-122.30920:3400:59:1020:0");
  EXPECT_EQ(abc().readLine(), "$ERserver:ABC:5:Invalid source callsign");
  abc().sendLine("#TMDEF:GHI:not me");
  EXPECT_EQ(abc().readLine(), "$ERserver:ABC:5:Invalid source callsign");
  expectNothingMoreFor(1, "DEF");
  expectNothingMoreFor(2, "GHI");
}

TEST_F(Routing, FlightPlansKeepTheLatestPerCallsign) {
  connect("127.0.0.55");
  abc().sendLine(
      "$FPABC:SERVER:I:B738:450:KSFO:905:915:35000:KLAX:1:10:2:30:KSAN::SFO "
      "V25 LAX");
  abc().sendLine(
      "$FPABC:SERVER:V:C172:100:KSFO:905:915:3500:KOAK:0:30:3:0:::DIRECT");
  def().sendLine(
      "$FPDEF:SERVER:I:A320:430:KLAX:1000:1010:33000:KSFO:1:5:2:0:KOAK::");
  expectNothingMoreFor(0, "ABC");
  expectNothingMoreFor(1, "DEF");
  expectNothingMoreFor(2, "GHI");
  server->command("plans");
  EXPECT_TRUE(server->events().waitFor("plans 2"));
  EXPECT_TRUE(server->events().waitFor(
      "plan ABC "
      "$FPABC:SERVER:V:C172:100:KSFO:905:915:3500:KOAK:0:30:3:0:::DIRECT"));
  EXPECT_TRUE(server->events().waitFor(
      "plan DEF "
      "$FPDEF:SERVER:I:A320:430:KLAX:1000:1010:33000:KSFO:1:5:2:0:KOAK::"));
}

TEST_F(Routing, AFullFlightPlanIsStoredWhole) {
  connect("127.0.0.55");
  // The longest plan a client files: all 17 fields, empty ones among them,
  // a route ending in a blank, 1023 bytes in all.
  std::string plan =
      "$FPABC:SERVER:I:C172:450:EDDF:915:905:fl350:LIRF:2:5:3:0:LIRG::";
  plan += std::string(1023 - plan.size() - 1, 'R') + " ";
  ASSERT_EQ(plan.size(), 1023u);
  abc().sendLine(plan);
  expectNothingMoreFor(0, "ABC");
  server->command("plans");
  EXPECT_TRUE(server->events().waitFor("plan ABC " + plan));
  EXPECT_TRUE(server->events().waitFor("plans 1"));
}

}  // namespace
}  // namespace netserver::testing
