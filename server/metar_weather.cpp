#include "server/metar_weather.h"

#include <cmath>
#include <regex>
#include <sstream>

#include "server/world_weather.h"

namespace netserver {
namespace {

constexpr double kInchesPerHectopascal = 0.0295300;
constexpr double kKnotsPerMetreSecond = 1.943844;
constexpr double kKnotsPerKilometreHour = 1.0 / 1.852;
// A report gives cloud bases only: a layer is drawn this deep.
constexpr int kLayerDepthFt = 2000;
constexpr int kStormLayerDepthFt = 8000;
// The surface wind reaches up to the top of the lowest wind band.
constexpr int kSurfaceWindTopFt = 6000;

int Temperature(const std::string& text) {
  return text[0] == 'M' ? -std::stoi(text.substr(1)) : std::stoi(text);
}

}  // namespace

MetarWeather parseMetarWeather(const std::string& report) {
  static const std::regex wind(
      R"((\d{3}|VRB)(\d{2,3})(G\d{2,3})?(KT|MPS|KMH))");
  static const std::regex temperatures(R"((M?\d{2})/(M?\d{2})?)");
  static const std::regex inches(R"(A(\d{4}))");
  static const std::regex hectopascals(R"(Q(\d{4}))");
  static const std::regex cloud(R"((FEW|SCT|BKN|OVC|VV)(\d{3})(CB|TCU)?)");
  static const std::regex clear(R"(CLR|SKC|NSC|NCD|CAVOK)");
  static const std::regex storm(R"([+-]?(VC)?TS[A-Z]*)");

  MetarWeather parsed;
  WorldWeather& weather = parsed.weather;
  bool &pressure = parsed.pressure, &clouds = parsed.clouds,
       &winds = parsed.winds;
  int layers = 0;
  std::istringstream words(report);
  std::string word;
  std::smatch m;
  for (int i = 0; words >> word; ++i) {
    if (word == "RMK") break;
    if (i == 0) continue;  // the station
    if (!winds && std::regex_match(word, m, wind)) {
      double speed = std::stod(m[2]);
      if (m[4] == "MPS") speed *= kKnotsPerMetreSecond;
      if (m[4] == "KMH") speed *= kKnotsPerKilometreHour;
      // A variable wind has no direction to give.
      const int direction = m[1] == "VRB" ? 0 : std::stoi(m[1]);
      weather.winds.push_back({0, kSurfaceWindTopFt, direction,
                               static_cast<int>(std::lround(speed))});
      winds = true;
    } else if (!pressure && std::regex_match(word, m, inches)) {
      weather.altimeter = std::stoi(m[1]);
      pressure = true;
    } else if (!pressure && std::regex_match(word, m, hectopascals)) {
      weather.altimeter = static_cast<int>(
          std::lround(std::stoi(m[1]) * kInchesPerHectopascal * 100.0));
      pressure = true;
    } else if (std::regex_match(word, m, temperatures)) {
      weather.temperature = Temperature(m[1]);
      weather.dewPoint = m[2].matched ? Temperature(m[2]) : weather.temperature;
    } else if (std::regex_match(word, m, cloud)) {
      clouds = true;
      const bool towering = m[3].matched;
      if (towering) weather.storm = 1;
      if (layers == 2) continue;  // the two lowest are kept
      static const std::string kinds[] = {"FEW", "SCT", "BKN", "OVC", "VV"};
      static const int eighths[] = {2, 4, 6, 8, 8};
      int coverage = 0;
      for (int k = 0; k < 5; ++k)
        if (m[1] == kinds[k]) coverage = eighths[k];
      const int base = std::stoi(m[2]) * 100;
      int* layer = weather.clouds[layers++];
      layer[0] = base + (towering ? kStormLayerDepthFt : kLayerDepthFt);
      layer[1] = base;
      layer[2] = coverage;
    } else if (std::regex_match(word, clear)) {
      clouds = true;
    } else if (std::regex_match(word, storm)) {
      weather.storm = 1;
    }
  }
  return parsed;
}

std::vector<std::string> metarWeatherLines(const std::string& report,
                                           const std::string& addressee) {
  const MetarWeather parsed = parseMetarWeather(report);
  std::vector<std::string> lines;
  const std::vector<std::string> all =
      weatherLines(parsed.weather, addressee, 0);
  if (parsed.pressure) lines.push_back(all[0]);
  if (parsed.clouds) lines.push_back(all[1]);
  if (parsed.winds) lines.push_back(all[2]);
  return lines;
}

}  // namespace netserver
