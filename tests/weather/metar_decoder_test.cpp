// FilterMetar and DecodeMetar called directly, against the stand-in host's
// weather record.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <ctime>
#include <limits>
#include <string>

#include "net/field_reader.h"
#include "tests/traffic/direct_host.h"
#include "weather/metar.h"

namespace talvix {
namespace {

NearestAirportRecord Nearest(const char* ident, float elevationFeet) {
  NearestAirportRecord record{};
  std::strncpy(reinterpret_cast<char*>(record.bytes + kNearestIdentOffset),
               ident, kNearestIdentSize - 1);
  std::memcpy(record.bytes + kNearestElevationOffset, &elevationFeet,
              sizeof elevationFeet);
  return record;
}

struct FilterCase {
  const char* report;
  const char* nearest;
  float elevation;
  const char* filtered;
};

TEST(FilterMetar, CutsRemarksDropsAutoAndRaisesOnlyTheNearestStationsBases) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const FilterCase cases[] = {
      {"EDDF 121250Z 24010KT 9999 FEW030 BKN100 12/08 Q1013 RMK BKN010", "EDDF",
       364, "EDDF 121250Z 24010KT 9999 FEW033 BKN103 12/08 Q1013"},
      {"EDDF 121250Z 24010KT 9999 FEW030 BKN100 Q1013", "EDDF", 100,
       "EDDF 121250Z 24010KT 9999 FEW030 BKN100 Q1013"},
      {"EDDF 121250Z 24010KT 9999 FEW030 BKN100 Q1013", "EDDF", 1000,
       "EDDF 121250Z 24010KT 9999 FEW039 BKN109 Q1013"},
      // Another station, or the same name in other case: clouds untouched.
      {"KSFO 081756Z 29012KT 10SM FEW008 A2992 RMK AO2", "EDDF", 364,
       "KSFO 081756Z 29012KT 10SM FEW008 A2992"},
      {"EDDF 121250Z 24010KT 9999 FEW030 Q1013", "eddf", 364,
       "EDDF 121250Z 24010KT 9999 FEW030 Q1013"},
      {"EGLL 081750Z AUTO AUTO 23015KT 9999 BKN011 Q1001 RMK AUTO", "EGLL", 83,
       "EGLL 081750Z 23015KT 9999 BKN011 Q1001"},
      // Every occurrence of every code; a base may grow past three digits.
      {"KDEN 1Z 1KT 9999 FEW010 FEW020 SCT030 OVC990 A3006", "KDEN", 5434,
       "KDEN 1Z 1KT 9999 FEW064 FEW074 SCT084 OVC1044 A3006"},
      // Only digits are a base; a group cut short stays as it is.
      {"LSZH 1Z 1KT 9999 BKN/// SCT01/ FEW0", "LSZH", 1416,
       "LSZH 1Z 1KT 9999 BKN/// SCT01/ FEW0"},
      {"RMK LSZH FEW010", "RMK ", nan, "RMK LSZH FEW010"},
      {"NZAA 1Z FEW010", "NZAA", 1.0e30f, "NZAA 1Z FEW010"},
      {"", "", 5000, ""},
      // A field below sea level lowers the bases.
      {"EDDF 1Z 1KT 9999 FEW030 OVC100", "EDDF", -1000,
       "EDDF 1Z 1KT 9999 FEW021 OVC091"},
      {"KS", "KS", 5000, "KS"},
  };
  for (const FilterCase& c : cases) {
    std::string text = c.report;
    FilterMetar(text, Nearest(c.nearest, c.elevation));
    EXPECT_EQ(text, c.filtered) << c.report;
  }
}

struct DecodeCase {
  const char* report;
  int direction, speed, gust, variable;
  double altimeter;
  int stormFlag;
  int firstLayerCoverage;
};

constexpr int kOldDirection = 100;
constexpr double kOldAltimeter = 30.50;
const double kStandard = static_cast<double>(29.92f);

class DecodeMetarTest : public testing::DirectHostTest {
 protected:
  // A record as the simulator's own reader might leave it.
  void setWeather() {
    model_->modify([](sim::HostState& s) {
      WeatherRecord& w = s.weather;
      w = WeatherRecord{};
      std::memset(w.hostOwned, 0x5a, sizeof w.hostOwned);
      w.altimeter = kOldAltimeter;
      w.windDirection = kOldDirection;
      w.windSpeed = 1;
      w.gustSpeed = 2;
      w.cloud[0] = {1, 3000, 2, 0};
      w.cloud[1] = {1, 8000, 6, 0};
      w.cloud[2] = {0, 0, 0, 55};
    });
  }
  WeatherRecord weather() const { return state().weather; }
};

TEST_F(DecodeMetarTest, WindGustAltimeterAndThunderstormGroups) {
  const DecodeCase cases[] = {
      {"EDDF 121250Z 24010G25KT 9999 FEW030 12/08 Q1013", 240, 10, 25, 0, 29.91,
       0, 2},
      {"KSFO 081756Z 24010KT 10SM FEW008 16/11 A2992", 240, 10, 10, 0, 29.92, 0,
       2},
      {"LSZH 081750Z VRB03KT 0300 FG VV001 02/02 Q////", kOldDirection, 3, 3, 1,
       kStandard, 0, 2},
      {"KSFO 081756Z 24010KT 10SM FEW008 A////", 240, 10, 10, 0, kStandard, 0,
       2},
      {"KMWN 081753Z 24015MPH 1SM FG OVC001 M12/M12", 240, 30, 30, 0,
       kOldAltimeter, 0, 2},
      {"KMWN 081753Z 24015G22MPH 1SM FG", 240, 30, 44, 0, kOldAltimeter, 0, 2},
      {"XXXX 081753Z 240100KT 9999 FEW030", 240, 10, 10, 0, kOldAltimeter, 0,
       2},
      {"XXXX 081753Z 240P99KT 9999 FEW030", 240, 99, 99, 0, kOldAltimeter, 0,
       2},
      {"XXXX 081753Z /////KT 9999 FEW030", kOldDirection, 1, 1, 0,
       kOldAltimeter, 0, 2},
      {"XXXX 081753Z 24010G//KT 9999 FEW030", 240, 10, 2, 0, kOldAltimeter, 0,
       2},
      {"XXXX 081753Z G4010KT 9999 FEW030", 0, 10, 10, 0, kOldAltimeter, 0, 2},
      {"XXXX 081753Z 1G20KT 9999 FEW030", 1, 0, 20, 0, kOldAltimeter, 0, 2},
      // The weather group after visibility, a runway range or a direction
      // range; CAVOK never looks for one.
      {"WSSS 081800Z 35008KT 9999 TSRA FEW012 25/23 Q1009", 350, 8, 8, 0, 29.79,
       8192, 4},
      {"ENGM 081750Z 01006KT 2000 R01L/P2000 +TSSN BKN006 Q1011", 10, 6, 6, 0,
       29.85, 8192, 4},
      {"EDDM 081750Z 26008KT 220V290 9999 VCTS FEW040 Q1018", 260, 8, 8, 0,
       30.06, 8192, 4},
      {"EDDM 081750Z 31008KT 300V020 9999 VCTS FEW040 Q1018", 310, 8, 8, 0,
       30.06, 8192, 4},
      {"EDDM 081750Z 05008KT 050V120 9999 VCTS FEW040 Q1018", 50, 8, 8, 0,
       30.06, 8192, 4},
      // Only a digit from 0 to 3 starts a direction range.
      {"XXXX 081750Z 05008KT /00V240 TSRA", 50, 8, 8, 0, kOldAltimeter, 8192,
       4},
      {"XXXX 081750Z 05008KT 400V240 TSRA", 50, 8, 8, 0, kOldAltimeter, 8192,
       4},
      // Both altimeter groups: "Q" is looked for first, wherever it stands.
      {"KSFO 081756Z 24010KT 10SM FEW008 A2992 Q1013", 240, 10, 10, 0, 29.91, 0,
       2},
      {"XXXX 081800Z 32010KT 10SM P6SM TSRA", 320, 10, 10, 0, kOldAltimeter,
       8192, 4},
      {"XXXX 081800Z 32010KT 10SM R28/2000FT R10/1000FT TSRA", 320, 10, 10, 0,
       kOldAltimeter, 0, 2},
      {"LPPT 081800Z 34009KT CAVOK TSRA Q1021", 340, 9, 9, 0, 30.15, 0, 2},
      {"LPPT 081800Z 34009KT CAVOK", 340, 9, 9, 0, kOldAltimeter, 0, 2},
      {"XXXX 081800Z 34009KT 9999 FEW010 A-050", 340, 9, 9, 0, -0.5, 0, 2},
  };
  for (const DecodeCase& c : cases) {
    setWeather();
    DecodeMetar(c.report);
    const WeatherRecord w = weather();
    EXPECT_EQ(w.windDirection, c.direction) << c.report;
    EXPECT_EQ(w.windSpeed, c.speed) << c.report;
    EXPECT_EQ(w.gustSpeed, c.gust) << c.report;
    EXPECT_EQ(w.variableWind, c.variable) << c.report;
    EXPECT_DOUBLE_EQ(w.altimeter, c.altimeter) << c.report;
    EXPECT_EQ(w.stormFlag, c.stormFlag) << c.report;
    EXPECT_EQ(w.stormValue, c.stormFlag ? 8 : 0) << c.report;
    EXPECT_EQ(w.cloud[0].coverage, c.firstLayerCoverage) << c.report;
    EXPECT_EQ(w.cloud[1].coverage, 6) << c.report;
    EXPECT_EQ(w.hostOwned[0], 0x5a) << c.report;
  }
}

TEST_F(DecodeMetarTest, AStormRaisesTheFirstPresentLayerOnly) {
  setWeather();
  model_->modify([](sim::HostState& s) {
    s.weather.cloud[0].present = 0;
    s.weather.cloud[1].coverage = 3;
    s.weather.cloud[2] = {1, 9000, 1, 0};
    s.weather.stormFlag = 1;  // the simulator's own reader saw one
  });
  DecodeMetar("XXXX 081800Z 32010KT 9999 FEW010");
  const WeatherRecord w = weather();
  EXPECT_EQ(w.cloud[0].coverage, 2);
  EXPECT_EQ(w.cloud[1].coverage, 4);
  EXPECT_EQ(w.cloud[2].coverage, 1);
  EXPECT_EQ(w.stormFlag, 1);
}

TEST_F(DecodeMetarTest, ASteadyWindKeepsAVariableFlagAlreadySet) {
  setWeather();
  model_->modify([](sim::HostState& s) { s.weather.variableWind = 1; });
  DecodeMetar("XXXX 081800Z 32010KT 9999 FEW010");
  const WeatherRecord w = weather();
  EXPECT_EQ(w.variableWind, 1);
  EXPECT_EQ(w.windDirection, 320);
  EXPECT_EQ(w.windSpeed, 10);
}

TEST_F(DecodeMetarTest, PresentLayersGetThicknessesDrawnFromTheClock) {
  EXPECT_EQ(DrawCloudThicknesses(1).layer[0], 1881);
  EXPECT_EQ(DrawCloudThicknesses(1).layer[1], 1104);
  EXPECT_EQ(DrawCloudThicknesses(1).layer[2], 1409);

  setWeather();
  const auto before = static_cast<unsigned>(std::time(nullptr));
  DecodeMetar("EDDF 121250Z 24010KT 9999 FEW030");
  const auto after = static_cast<unsigned>(std::time(nullptr));
  const WeatherRecord w = weather();
  bool fromTheClock = false;
  for (unsigned seed = before; seed <= after; ++seed) {
    const CloudThicknesses drawn = DrawCloudThicknesses(seed);
    fromTheClock |= w.cloud[0].thickness == drawn.layer[0] &&
                    w.cloud[1].thickness == drawn.layer[1];
  }
  EXPECT_TRUE(fromTheClock);
  EXPECT_EQ(w.cloud[2].thickness, 55);  // absent: untouched
  // A third present layer takes the third number.
  model_->modify([](sim::HostState& s) { s.weather.cloud[2].present = 1; });
  const auto again = static_cast<unsigned>(std::time(nullptr));
  DecodeMetar("EDDF 121250Z 24010KT 9999 FEW030");
  const auto end = static_cast<unsigned>(std::time(nullptr));
  bool third = false;
  for (unsigned seed = again; seed <= end; ++seed)
    third |=
        weather().cloud[2].thickness == DrawCloudThicknesses(seed).layer[2];
  EXPECT_TRUE(third);
  for (unsigned seed = 0; seed < 2000; ++seed) {
    for (std::int32_t t : DrawCloudThicknesses(seed * 7919u).layer) {
      ASSERT_GE(t, 700);
      ASSERT_LE(t, 3000);
    }
  }
}

TEST_F(DecodeMetarTest, AReportTooShortLeavesTheRecordUnwritten) {
  using namespace std::string_literals;
  for (const std::string& report :
       {""s, "KSFO"s, "KSFO 081156Z"s, "KSFO 081156Z 28012KT"s,
        "KSFO 081156Z 28012KT 10SM"s, "KSFO 081156Z 28012KT 180V240 10SM"s,
        "KSFO 081156Z 28012KT 10SM R28/2000FT"s,
        "KSFO 081156Z 28012KT\0 10SM TSRA A2992"s}) {
    setWeather();
    EXPECT_THROW(DecodeMetar(report),
                 ost::StringTokenizer::NoSuchElementException)
        << report;
    EXPECT_EQ(weather().windDirection, kOldDirection) << report;
    EXPECT_EQ(weather().cloud[0].thickness, 0) << report;
  }
}

// Random reports from METAR-like pieces and raw bytes: the two functions
// either finish or raise the tokenizer's exception, and never read outside
// the text (the sanitizer builds watch that).
TEST_F(DecodeMetarTest, ArbitraryReportsAreHandledSafely) {
  const char* kPieces[] = {" ",   "  ",    "KSFO",   "081253Z", "VRB", "G",
                           "P",   "MPH",   "KT",     "///",     "//",  "////",
                           " Q",  " A",    "TS",     "CAVOK",   "R2",  "P6",
                           "V",   "1",     "99",     "FEW",     "BKN", "OVC",
                           "SCT", " RMK ", " AUTO ", "\xff",    "-",   "\t"};
  std::uint32_t next = 12345;
  auto draw = [&](std::uint32_t bound) {
    next = next * 1664525u + 1013904223u;
    return (next >> 8) % bound;
  };
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const std::uint32_t pieces = draw(14);
    for (std::uint32_t i = 0; i < pieces; ++i) {
      if (draw(4) == 0) {
        text += static_cast<char>(draw(256));
      } else {
        text += kPieces[draw(sizeof kPieces / sizeof kPieces[0])];
      }
    }
    std::string filtered = text;
    FilterMetar(filtered, Nearest(text.substr(0, 4).c_str(),
                                  static_cast<float>(draw(20000)) - 500.0f));
    setWeather();
    try {
      DecodeMetar(filtered);
    } catch (const ost::StringTokenizer::NoSuchElementException&) {
      EXPECT_EQ(weather().cloud[0].thickness, 0) << text;
    }
  }
}

}  // namespace
}  // namespace talvix
