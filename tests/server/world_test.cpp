#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "server/wire_line.h"
#include "server/world_crowd.h"
#include "server/world_file.h"
#include "server/world_flight.h"
#include "server_harness.h"
#include "server_process.h"

namespace netserver::testing {
namespace {

const std::string kSourceDir = TALVIX_SOURCE_DIR;
const std::string kWorldPath = kSourceDir + "/data/demo.world";

TEST(WorldFile, BadLinesAreReportedWithTheirNumbersAndLeftOut) {
  const auto parsed = parseWorld(
      "# a comment\n"
      "airport KSFO 37.6189 -122.3750 13\n"
      "runway 28L 37.6116 -122.3571 284\n"
      "pilot A1 C172 P Y 1200 circuit 28L left 90 1013\n"
      "pilot A2 C172 P Y 1200 circuit 29 left 90 1013\n"
      "pilot A1 C172 P Y 1200 circuit 28L left 90 1013\n"
      "pilot A3 C172 X Y 1200 circuit 28L left 90 1013\n"
      "pilot A4 B738 J N 1200 departure 28L fast 9000 90\n"
      "pilot A5 B738 J N 1200 departure 28L 250\n"
      "controller T_TWR 120.5 4 30 3 37.6 -122.3 extra\n"
      "controller T_TWR 99.0 4 30 3 37.6 -122.3\n"
      "   controller T_TWR 120.5 4 30 3 37.6 -122.3\n"
      "atis T_TWR VOICE: 127.0.0.1/T_TWR\n"
      "say A1 10 0 hello\n"
      "away NOBODY 1 2 3\n"
      "fly away\n"
      "\n  \t\n");
  EXPECT_EQ(parsed.errors, (std::vector<std::string>{
                               "line 5: no runway 29",
                               "line 6: A1 twice",
                               "line 7: bad engine X",
                               "line 8: bad speed fast",
                               "line 9: missing altitude",
                               "line 10: extra words",
                               "line 11: bad frequency 99.0",
                               "line 13: text holds ':'",
                               "line 14: A1 is not a controller",
                               "line 15: no station NOBODY",
                               "line 16: unknown keyword fly",
                           }));
  ASSERT_EQ(parsed.world.pilots.size(), 1u);
  EXPECT_EQ(parsed.world.pilots[0].callsign, "A1");
  ASSERT_EQ(parsed.world.controllers.size(), 1u);
  EXPECT_EQ(parsed.world.controllers[0].frequency, "20500");
  EXPECT_EQ(loadWorldFile("/nonexistent/x.world").errors,
            std::vector<std::string>{"cannot read /nonexistent/x.world"});
  ServerProcess missing({"--listen", "127.0.0.231", "--port", "0", "--world",
                         "/nonexistent/x.world"});
  EXPECT_EQ(missing.waitExit(), 2);
}

TEST(WorldFile, ShippedWorldIsCompleteAndUsesKnownTypes) {
  const auto parsed = loadWorldFile(kWorldPath);
  EXPECT_EQ(parsed.errors, std::vector<std::string>{});
  const World& world = parsed.world;
  // Types and engine classes as the aircraft table lists them.
  std::map<std::string, char> engineOfType;
  std::ifstream table(kSourceDir + "/data/CSL_ICAO.csv");
  for (std::string row; std::getline(table, row);) {
    const auto cells = splitFields([&] {
      std::string copy = row;
      for (char& c : copy) c = c == ',' ? ':' : c;
      return copy;
    }());
    if (cells.size() >= 4 && !cells[3].empty())
      engineOfType[cells[1]] = cells[3][0];
  }
  std::set<FlightKind> kinds;
  std::set<std::string> airlines, types;
  for (const auto& pilot : world.pilots) {
    EXPECT_EQ(engineOfType[pilot.model], pilot.engineLetter) << pilot.callsign;
    kinds.insert(pilot.kind);
    types.insert(pilot.model);
    if (!std::isdigit(static_cast<unsigned char>(pilot.callsign[1])))
      airlines.insert(pilot.callsign.substr(0, 3));
  }
  EXPECT_GE(world.pilots.size(), 15u);
  EXPECT_GE(kinds.size(), 4u);
  EXPECT_GE(airlines.size(), 5u);
  EXPECT_GE(types.size(), 10u);
  std::set<std::string> facilities;
  for (const auto& controller : world.controllers) {
    facilities.insert(
        controller.callsign.substr(controller.callsign.size() - 4));
    const auto& atis = controller.atis;
    EXPECT_TRUE(atis.find(".TS.") < atis.find('/') ||
                atis.find("VOICE") != std::string::npos)
        << controller.callsign;
  }
  for (const char* suffix : {"_GND", "_TWR", "_APP", "_CTR"})
    EXPECT_EQ(facilities.count(suffix), 1u) << suffix;
  EXPECT_GT(world.weather.everySeconds, 0);
  EXPECT_EQ(world.absences.size(), 2u);
}

struct Report {
  double latitude, longitude, altitude, speed, pitch, bank, heading;
};

Report readReport(const WireLine& line) {
  const auto number = [&](std::size_t i) { return std::stod(line.fields[i]); };
  const auto word = static_cast<std::uint32_t>(std::stoul(line.fields[8]));
  const auto angle = [](std::uint32_t field) {
    const double degrees = field * 360.0 / 1024.0;
    return degrees > 180 ? degrees - 360 : degrees;
  };
  return {number(4),
          number(5),
          number(6),
          number(7),
          angle(word >> 22),
          angle((word >> 12) & 1023),
          ((word >> 2) & 1023) * 360.0 / 1024.0};
}

double turned(double from, double to) {
  return std::remainder(to - from, 360.0);
}

// The shipped world through the built executable, five times faster than
// real time: each report is five world seconds after the one before.
// The crowd flies within 90 nm of the airport at many levels, with types
// of the aircraft list, and leaves the world's own stations alone.
TEST(WorldFile, ACrowdStaysNearTheAirportWithListedTypes) {
  WorldParseResult parsed = loadWorldFile(kWorldPath);
  ASSERT_TRUE(parsed.errors.empty());
  World world = parsed.world;
  const std::size_t own = world.pilots.size();
  world.pilots.push_back(world.pilots.front());
  world.pilots.back().callsign = "CROWD0002";  // taken: skipped
  std::ifstream csv(kSourceDir + "/data/CSL_ICAO.csv");
  std::stringstream text;
  text << csv.rdbuf();
  const std::vector<CrowdType> types = readCrowdTypes(text.str());
  ASSERT_GT(types.size(), 10u);
  std::set<std::string> codes;
  for (const auto& type : types) codes.insert(type.code);
  addCrowd(world, 500, types);
  ASSERT_EQ(world.pilots.size(), own + 1 + 500);
  std::set<std::string> callsigns, levels;
  for (std::size_t i = own + 1; i < world.pilots.size(); ++i) {
    const WorldPilot& pilot = world.pilots[i];
    EXPECT_TRUE(callsigns.insert(pilot.callsign).second) << pilot.callsign;
    EXPECT_NE(pilot.callsign, "CROWD0002");
    EXPECT_EQ(codes.count(pilot.model), 1u) << pilot.model;
    levels.insert(std::to_string(pilot.altitudeFt));
    PilotFlight flight(pilot, world);
    for (double t : {0.0, 600.0, 1800.0}) {
      const FlightState& state = flight.at(t);
      EXPECT_LE(distanceNm({world.latitude, world.longitude}, state.position),
                kCrowdRadiusNm)
          << pilot.callsign;
    }
  }
  EXPECT_GT(levels.size(), 40u);
}

TEST(World, ShippedWorldOnTheWire) {
  const auto world = loadWorldFile(kWorldPath).world;
  ServerProcess server({"--listen", "127.0.0.231", "--port", "0", "--world",
                        kWorldPath, "--world-speed", "5", "--metar",
                        kSourceDir + "/data/metar"});
  const unsigned short port = server.waitForPort();
  ASSERT_NE(port, 0);
  TestClient client("127.0.0.231", port);
  client.login("TEST1");
  for (const char* query : {"#TXTEST1:UAL837:PIR", "$CQTEST1:KSFO_ATIS:ATIS",
                            "$PITEST1:DLH454:12:0:5", "$CQTEST1:OAK_CTR:C?",
                            "$CQTEST1:N44KR:INF", "$AXTEST1:SERVER:METAR:KSFO"})
    client.sendLine(query);

  std::map<std::string, std::vector<Report>> reports;
  std::set<std::string> controllers;
  std::set<std::string> others;
  const std::set<std::string> expected = {
      "#TXUAL837:TEST1:PI:X:0:1:~B77W",
      // The ATIS says the altimeter and wind of the airport's METAR.
      "#TMKSFO_ATIS:TEST1:SAN FRANCISCO INFORMATION BRAVO. WIND 280 AT 12. "
      "VISIBILITY 10. FEW 800. ALTIMETER 3012. VOICE 127.0.0.1/KSFO_ATIS",
      "$PODLH454:TEST1:12:0:5",
      "$CROAK_CTR:TEST1:C?:132.850",
      "#TMN44KR:TEST1:PID= N44KR V3.1 IP=world (127.0.0.1) FSVER=Fly!2 "
      "(N44KR PILOT)",
      "#TDSERVER:TEST1:0:0:0:0:0:0:0:0:2992",
      "#CDSERVER:TEST1:1500:800:2:0:0:20500:20000:4:0:0:-1:0:0:0:0",
      "#WDSERVER:TEST1:3000:9000:290:15:0:0:9000:18000:280:30:0:0:18000:"
      "30000:270:55:0:0:30000:45000:260:80:0:0",
  };
  const auto allSeen = [&] {
    std::size_t twice = 0;
    for (const auto& entry : reports) twice += entry.second.size() >= 2;
    for (const auto& line : expected) {
      if (others.count(line) == 0) return false;
    }
    return twice >= world.pilots.size() && controllers.size() >= 4;
  };
  const auto deadline = std::chrono::steady_clock::now() + 12s;
  while (!allSeen() && std::chrono::steady_clock::now() < deadline) {
    const auto line = client.readLine();
    ASSERT_TRUE(line);
    const auto parsed = parseWireLine(*line);
    ASSERT_TRUE(parsed) << *line;
    if (parsed->prefix == "@") {
      ASSERT_EQ(parsed->fields.size(), 10u) << *line;
      reports[parsed->fields[1]].push_back(readReport(*parsed));
    } else if (parsed->prefix == "%") {
      controllers.insert(parsed->fields[0]);
    } else {
      others.insert(*line);
    }
  }
  for (const auto& line : expected) EXPECT_EQ(others.count(line), 1u) << line;
  EXPECT_GE(controllers.size(), 4u);
  EXPECT_GE(reports.size(), 15u);

  // Successive reports agree with the speed, heading, climb and bank they
  // carry; a jump of miles is a finished flight starting over.
  std::size_t consistent = 0, banking = 0;
  for (const auto& [callsign, list] : reports) {
    for (std::size_t i = 1; i < list.size(); ++i) {
      const Report& a = list[i - 1];
      const Report& b = list[i];
      const double north = (b.latitude - a.latitude) * 60;
      const double east =
          (b.longitude - a.longitude) * 60 * std::cos(a.latitude * M_PI / 180);
      const double moved = std::hypot(north, east);
      if (moved > 3.0) continue;
      const double expectedNm = (a.speed + b.speed) / 2 * 5 / 3600;
      EXPECT_NEAR(moved, expectedNm, 0.05 * expectedNm + 0.01) << callsign;
      EXPECT_LE(std::fabs(b.altitude - a.altitude), 300) << callsign;
      const double track = std::atan2(east, north) * 180 / M_PI;
      if (std::fabs(a.bank) < 1 && std::fabs(b.bank) < 1) {
        EXPECT_NEAR(turned(b.heading, track), 0, 2) << callsign;
      } else if (std::fabs(b.bank) > 3) {
        EXPECT_GT(turned(a.heading, b.heading) * b.bank, 0) << callsign;
        ++banking;
      }
      ++consistent;
    }
  }
  EXPECT_GE(consistent, 15u);
  EXPECT_GE(banking, 1u);
  server.writeLine("quit");
  EXPECT_EQ(server.waitExit(), 0);
}

// Chatter, a controller logging off and back on, a pilot going silent and
// coming back, at a hundred times real time.
TEST(World, StationsSpeakLeaveAndComeBack) {
  const auto path = std::filesystem::temp_directory_path() /
                    ("netserver-world-" + std::to_string(::getpid()));
  std::ofstream(path) << "airport KSFO 37.6189 -122.3750 13\n"
                         "pilot N1 C172 P Y 1200 orbit 37.6 -122.4 1 90 1500\n"
                         "controller X_APP 135.650 5 150 5 37.55 -122.25\n"
                         "say X_APP 100 0 N1 CLIMB 3000\n"
                         "guard N1 100 0 PRACTICE PAN PAN\n"
                         "away X_APP 150 50 0\n"
                         "away N1 150 100 0\n"
                         "weather 10000 3001\n"
                         "fly away\n";
  ServerOptions options;
  options.worldFile = path;
  options.demoPeriod = std::chrono::milliseconds(50);
  InProcessServer server("127.0.0.232", options);
  EXPECT_TRUE(
      server.events().waitFor("world-error line 9: unknown keyword fly"));
  TestClient client(server.address(), server.port());
  client.login("ABC");
  std::vector<std::string> said;
  std::size_t reportsWhileAway = 0, reportsAfter = 0;
  bool away = false, back = false;
  for (int i = 0; i < 400 && reportsAfter == 0; ++i) {
    const auto line = client.readLine();
    ASSERT_TRUE(line);
    if ((*line)[0] == '@') {
      if (away && !back) ++reportsWhileAway;
      if (back) reportsAfter += 1;
    } else if ((*line)[0] == '%') {
      if (away) back = true;
    } else {
      said.push_back(*line);
      away = away || line->rfind("#DA", 0) == 0;
    }
  }
  std::filesystem::remove(path);
  EXPECT_EQ(said, (std::vector<std::string>{
                      "#TDSERVER:ABC:0:0:0:0:0:0:0:0:3001",
                      "#CDSERVER:ABC:-1:0:0:0:0:-1:0:0:0:0:-1:0:0:0:0",
                      "#WDSERVER:ABC:0:0:0:0:0:0:0:0:0:0:0:0:0:0:0:0:0:0:0:"
                      "0:0:0:0:0",
                      "#TMX_APP:@35650:N1 CLIMB 3000",
                      "#TMN1:@2150:PRACTICE PAN PAN",
                      "#DAX_APP:SERVER",
                  }));
  EXPECT_EQ(reportsWhileAway, 0u);
  EXPECT_EQ(reportsAfter, 1u);
}

}  // namespace
}  // namespace netserver::testing
