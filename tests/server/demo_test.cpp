#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "server/demo_flight.h"
#include "server/wire_line.h"
#include "server_harness.h"

namespace netserver::testing {
namespace {

const char* const kTowerLine = "%KSFO_TWR:20000:4:50:3:37.61890:-122.37500";
const char* const kTowerAtis =
    "KSFO_TWR ATIS INFORMATION ALPHA. LANDING AND DEPARTING 28L AND 28R. "
    "ALTIMETER 2992. VOICE 127.0.0.1/KSFO_TWR";

ServerOptions demoOptions() {
  ServerOptions options;
  options.demo = true;
  options.demoPeriod = std::chrono::milliseconds(100);
  return options;
}

TEST(DemoFlight, AttitudeWordLayout) {
  // 90 degrees scale to 256, 180 to 512; pitch -10 normalises to 350 (995).
  EXPECT_EQ(packAttitude(0, 0, 90), 256u << 2);
  EXPECT_EQ(packAttitude(0, 180, 0), 512u << 12);
  EXPECT_EQ(packAttitude(-10, 0, 0), 995u << 22);
  EXPECT_EQ(packAttitude(0, 0, 360), 0u);
}

TEST(DemoFlight, PilotsCircleTheirCentreAtTheirSpeed) {
  const DemoPilot pilot{"T1", 'N',  1200, 37.6189, -122.3750,
                        3.0,  3000, 180,  "1",     "~B738"};
  const auto start = positionAt(pilot, 0);
  EXPECT_NEAR(start.latitude, 37.6189 + 3.0 / 60, 1e-9);
  EXPECT_NEAR(start.longitude, -122.3750, 1e-9);
  EXPECT_NEAR(start.headingDeg, 90.0, 1e-9);
  // A quarter of the circle: 2*pi*3/4 nm at 180 kt.
  const double quarter = (2 * 3.14159265358979 * 3.0 / 4) / 180.0 * 3600.0;
  const auto east = positionAt(pilot, quarter);
  EXPECT_NEAR(east.latitude, 37.6189, 1e-6);
  EXPECT_GT(east.longitude, -122.3750 + 0.05);
  EXPECT_NEAR(east.headingDeg, 180.0, 1e-3);
  EXPECT_GT(east.bankDeg, 5.0);
  EXPECT_LT(east.bankDeg, 45.0);
}

TEST(DemoFlight, PositionLineInTheClientFormat) {
  const DemoPilot pilot{"DEMO9", 'Y',  1200, 10.0, 20.0,
                        1.0,     3500, 120,  "0",  "~C172"};
  const DemoPosition position{48.3534, -122.3092, 90.0, 0.0};
  EXPECT_EQ(positionLine(pilot, position),
            "@Y:DEMO9:1200:1:48.35340:-122.30920:3500:120:1024:0");
}

TEST(Demo, PilotsAndTowerReportAndMove) {
  InProcessServer server("127.0.0.67", demoOptions());
  TestClient client(server.address(), server.port());
  client.login("ABC");
  std::set<std::string> heard;
  std::string firstDemo1;
  std::string laterDemo1;
  for (int i = 0; i < 60 && (heard.size() < 4 || laterDemo1.empty()); ++i) {
    const auto line = client.readLine();
    ASSERT_TRUE(line);
    const auto parsed = parseWireLine(*line);
    ASSERT_TRUE(parsed);
    heard.insert(parsed->sender().value_or(""));
    if (parsed->prefix == "@") {
      EXPECT_EQ(parsed->fields.size(), 10u) << *line;
      if (parsed->sender() == "DEMO1") {
        if (firstDemo1.empty()) {
          firstDemo1 = *line;
        } else if (*line != firstDemo1) {
          laterDemo1 = *line;
        }
      }
    } else {
      EXPECT_EQ(*line, kTowerLine);
    }
  }
  EXPECT_EQ(heard,
            (std::set<std::string>{"DEMO1", "DEMO2", "DEMO3", "KSFO_TWR"}));
  EXPECT_FALSE(laterDemo1.empty());
  // Near KSFO.
  const auto fields = splitFields(firstDemo1.substr(1));
  EXPECT_NEAR(std::stod(fields[4]), 37.6, 0.2);
  EXPECT_NEAR(std::stod(fields[5]), -122.4, 0.2);
}

TEST(Demo, StationsAnswerTypeVersionAndAtisRequests) {
  InProcessServer server("127.0.0.68", demoOptions());
  TestClient client(server.address(), server.port());
  client.login("ABC");
  client.sendLine("#TXABC:DEMO1:PIR");
  EXPECT_EQ(client.readLineStartingWith("#TX"), "#TXDEMO1:ABC:PI:X:0:1:~B738");
  client.sendLine("#TXABC:DEMO2:VIR");
  EXPECT_EQ(client.readLineStartingWith("#TX"), "#TXDEMO2:ABC:VI:31");
  client.sendLine("$CQABC:KSFO_TWR:ATIS");
  EXPECT_EQ(client.readLineStartingWith("#TM"),
            std::string("#TMKSFO_TWR:ABC:") + kTowerAtis);
  client.sendLine("$PIABC:DEMO3:12:0:5");
  EXPECT_EQ(client.readLineStartingWith("$PO"), "$PODEMO3:ABC:12:0:5");
  // A demo callsign is taken like any other.
  TestClient impostor(server.address(), server.port());
  impostor.login("DEMO1");
  EXPECT_EQ(impostor.readLineStartingWith("$ER"),
            "$ERserver:DEMO1:1:Callsign in use");
}

TEST(Demo, KilledDemoStationStaysSilent) {
  InProcessServer server("127.0.0.68", demoOptions());
  server.command("kill KSFO_TWR gone");
  ASSERT_TRUE(server.events().waitFor("killed KSFO_TWR"));
  TestClient client(server.address(), server.port());
  client.login("ABC");
  for (int i = 0; i < 20; ++i) {
    const auto line = client.readLine();
    ASSERT_TRUE(line);
    EXPECT_EQ(line->find("KSFO_TWR"), std::string::npos) << *line;
  }
}

}  // namespace
}  // namespace netserver::testing
