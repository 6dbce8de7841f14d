// DecodeMetar: wind, gust, thunderstorm, altimeter and cloud thickness,
// set on the weather record the simulator's own reader has just filled.
#include <cmath>
#include <cstdint>

#include "core/host.h"
#include "core/text.h"
#include "net/field_reader.h"
#include "platform/platform.h"
#include "weather/clamp.h"
#include "weather/metar.h"

namespace talvix {
namespace {

constexpr std::int32_t kStormCoverage = 4;
constexpr float kStandardAltimeter = 29.92f;  // single precision on purpose
constexpr double kHectopascalToInches = 0.75 * 0.03937007874015748;

// Up to count characters from position on; missing ones are not there.
std::string Piece(const std::string& text, std::size_t position,
                  std::size_t count) {
  return position < text.size() ? text.substr(position, count) : "";
}

char At(const std::string& text, std::size_t position) {
  return position < text.size() ? text[position] : '\0';
}

bool Contains(const std::string& text, const char* part) {
  return text.find(part) != std::string::npos;
}

// Two decimals, halves away from zero.
double RoundToHundredths(double value) {
  const double magnitude = std::fabs(value);
  double whole = 0.0;
  const double scaled = std::modf(magnitude, &whole) * 100.0;
  double hundredths = std::trunc(scaled);
  if (scaled - hundredths >= 0.5) hundredths += 1.0;
  const double rounded = whole + hundredths / 100.0;
  return value < 0.0 ? -rounded : rounded;
}

std::int32_t Doubled(std::int32_t value) {
  return ClampToInt32(static_cast<std::int64_t>(value) * 2);
}

void ApplyWind(const std::string& wind, WeatherRecord* record) {
  if (Contains(wind, "VRB")) {
    record->variableWind = 1;  // the direction stays as it was
  } else if (Piece(wind, 0, 3) != "///") {
    record->windDirection = ParseInt(Piece(wind, 0, 3));
  }

  const std::string speed = Piece(wind, At(wind, 3) == 'P' ? 4 : 3, 2);
  if (speed != "//") record->windSpeed = ParseInt(speed);

  const std::size_t gust = wind.find('G');
  if (gust != std::string::npos && gust > 0) {
    const std::string gustSpeed = Piece(wind, gust + 1, 2);
    if (gustSpeed != "//") record->gustSpeed = ParseInt(gustSpeed);
  } else {
    record->gustSpeed = record->windSpeed;
  }

  const std::size_t mph = wind.find("MPH");
  if (mph != std::string::npos && mph > 0) {
    record->windSpeed = Doubled(record->windSpeed);
    record->gustSpeed = Doubled(record->gustSpeed);
  }
}

// " Q" (hectopascals) first, else " A" (hundredths of an inch).
void ApplyAltimeter(const std::string& report, WeatherRecord* record) {
  const struct {
    const char* marker;
    double factor;
  } kGroups[] = {{" Q", kHectopascalToInches}, {" A", 0.01}};
  for (const auto& group : kGroups) {
    const std::size_t at = report.find(group.marker);
    if (at == std::string::npos || at == 0) continue;
    const std::string value = Piece(report, at + 2, 4);
    record->altimeter = value == "////"
                            ? static_cast<double>(kStandardAltimeter)
                            : RoundToHundredths(ParseInt(value) * group.factor);
    return;
  }
}

void ApplyStormCoverage(WeatherRecord* record) {
  if (record->stormFlag <= 0) return;
  for (CloudLayer& layer : record->cloud) {
    if (layer.present == 0) continue;
    if (layer.coverage < kStormCoverage) layer.coverage = kStormCoverage;
    return;
  }
}

// The generator of the C standard's example: 0 to 32767 on every system.
class SmallRandom {
 public:
  explicit SmallRandom(unsigned seed) : next_(seed) {}
  int draw() {
    next_ = next_ * 1103515245u + 12345u;
    return static_cast<int>((next_ / 65536u) % 32768u);
  }

 private:
  std::uint32_t next_;
};

}  // namespace

CloudThicknesses DrawCloudThicknesses(unsigned seed) {
  SmallRandom random(seed);
  CloudThicknesses drawn{};
  for (std::int32_t& thickness : drawn.layer)
    thickness = random.draw() * 2300 / 32767 + 700;
  return drawn;
}

void DecodeMetar(const std::string& text) {
  const std::string report(text.c_str());  // up to the first NUL
  FieldReader groups(report.c_str(), " ");
  groups.skip();  // station
  groups.skip();  // time
  const std::string wind = groups.next();
  std::string visibility = groups.next();
  if (At(visibility, 3) == 'V' && At(visibility, 0) >= '0' &&
      At(visibility, 0) <= '3') {
    visibility = groups.next();  // a direction range such as 180V240
  }
  std::string weather;
  if (visibility != "CAVOK") {
    weather = groups.next();
    const char second = At(weather, 1);
    if ((At(weather, 0) == 'R' || At(weather, 0) == 'P') && second >= '0' &&
        second <= '9') {
      weather = groups.next();  // a runway visual range
    }
  }

  WeatherRecord record{};
  host::GetWeather(&record);
  if (Contains(weather, "TS")) {
    record.stormValue = kThunderstormValue;
    record.stormFlag = kThunderstormFlag;
  }
  ApplyWind(wind, &record);
  ApplyAltimeter(report, &record);
  ApplyStormCoverage(&record);

  const CloudThicknesses drawn =
      DrawCloudThicknesses(static_cast<unsigned>(platform::NowSeconds()));
  for (int i = 0; i < 3; ++i) {
    if (record.cloud[i].present != 0)
      record.cloud[i].thickness = drawn.layer[i];
  }
  host::SetWeather(record);
}

}  // namespace talvix
