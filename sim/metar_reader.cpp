#include "sim/metar_reader.h"

#include <cctype>
#include <cstdlib>
#include <sstream>

namespace sim {
namespace {

bool AllDigits(const std::string& s, std::size_t from, std::size_t count) {
  if (s.size() < from + count) return false;
  for (std::size_t i = from; i < from + count; ++i)
    if (!std::isdigit(static_cast<unsigned char>(s[i]))) return false;
  return true;
}

int Digits(const std::string& s, std::size_t from, std::size_t count) {
  return std::atoi(s.substr(from, count).c_str());
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() &&
         s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

bool ReadWind(const std::string& g, talvix::WeatherRecord* r) {
  std::string unit;
  for (const char* u : {"KT", "MPS", "MPH"})
    if (EndsWith(g, u)) unit = u;
  if (unit.empty() || g.size() < 5 + unit.size()) return false;
  bool variable = g.compare(0, 3, "VRB") == 0;
  if (!variable && !AllDigits(g, 0, 3)) return false;
  std::string body = g.substr(3, g.size() - 3 - unit.size());
  std::size_t gust = body.find('G');
  std::string speed = body.substr(0, gust);
  if (speed.empty() || !AllDigits(speed, 0, speed.size())) return false;
  r->windDirection = variable ? 0 : Digits(g, 0, 3);
  r->variableWind = variable ? 1 : 0;
  r->windSpeed = std::atoi(speed.c_str());
  r->gustSpeed =
      gust == std::string::npos ? 0 : std::atoi(body.substr(gust + 1).c_str());
  return true;
}

bool ReadCloud(const std::string& g, int* coverage, int* base) {
  static const struct {
    const char* code;
    int coverage;
  } kGroups[] = {{"FEW", kCoverFew},
                 {"SCT", kCoverScattered},
                 {"BKN", kCoverBroken},
                 {"OVC", kCoverOvercast}};
  for (const auto& k : kGroups) {
    if (g.compare(0, 3, k.code) == 0 && AllDigits(g, 3, 3)) {
      *coverage = k.coverage;
      *base = Digits(g, 3, 3) * 100;
      return true;
    }
  }
  return false;
}

bool ReadTemperature(const std::string& g, WeatherExtras* x) {
  std::size_t slash = g.find('/');
  if (slash == std::string::npos || g.find('/', slash + 1) != std::string::npos)
    return false;
  auto value = [](const std::string& t, int* out) {
    bool minus = !t.empty() && t[0] == 'M';
    std::string digits = minus ? t.substr(1) : t;
    if (digits.size() != 2 || !AllDigits(digits, 0, 2)) return false;
    *out = minus ? -std::atoi(digits.c_str()) : std::atoi(digits.c_str());
    return true;
  };
  int t = 0, d = 0;
  if (!value(g.substr(0, slash), &t)) return false;
  x->temperature = t;
  if (value(g.substr(slash + 1), &d)) x->dewPoint = d;
  return true;
}

}  // namespace

bool ReadMetar(const std::string& text, talvix::WeatherRecord* record,
               WeatherExtras* extras) {
  std::istringstream in(text);
  std::string g;
  bool understood = false;
  int layers = 0;
  talvix::CloudLayer clouds[3] = {};
  bool stationSeen = false;
  while (in >> g) {
    if (g == "RMK") break;
    if (g == "METAR" || g == "SPECI" || g == "AUTO" || g == "COR") continue;
    int coverage = 0, base = 0;
    if (!stationSeen && !understood && g.size() == 4 &&
        std::isalpha(static_cast<unsigned char>(g[0]))) {
      extras->station = g;  // the first group names the station
      stationSeen = true;
    } else if (ReadWind(g, record)) {
      understood = true;
    } else if (ReadCloud(g, &coverage, &base)) {
      if (layers < 3) clouds[layers++] = {1, base, coverage, 0};
      understood = true;
    } else if (g == "CAVOK") {
      extras->visibilityMeters = 9999;
      understood = true;
    } else if (g.size() == 4 && AllDigits(g, 0, 4)) {
      extras->visibilityMeters = Digits(g, 0, 4);
      understood = true;
    } else if (EndsWith(g, "SM") && g.size() > 2 &&
               AllDigits(g, 0, g.size() - 2)) {
      extras->visibilityMeters = std::atoi(g.c_str()) * 1609;
      understood = true;
    } else if (g.size() == 5 && g[0] == 'A' && AllDigits(g, 1, 4)) {
      record->altimeter = Digits(g, 1, 4) / 100.0;
      understood = true;
    } else if (g.size() == 5 && g[0] == 'Q' && AllDigits(g, 1, 4)) {
      record->altimeter = Digits(g, 1, 4) * 0.0295299830714;
      understood = true;
    } else if (ReadTemperature(g, extras)) {
      understood = true;
    } else if (g.find("TS") != std::string::npos && g.size() <= 8 &&
               g.find('/') == std::string::npos) {
      record->stormValue = 8;
      record->stormFlag = 8192;
      understood = true;
    }
  }
  if (understood)
    for (int i = 0; i < 3; ++i) record->cloud[i] = clouds[i];
  return understood;
}

}  // namespace sim
