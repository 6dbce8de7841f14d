#include "server/world_file.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace netserver {
namespace {

// A bad line: the parser skips it and reports the message with its number.
struct LineError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// The words of one line, read left to right; the rest of the line can be
// taken whole as a text.
class Words {
 public:
  explicit Words(const std::string& line) : line_(line) {}

  bool atEnd() {
    skipBlanks();
    return at_ >= line_.size();
  }
  std::string word(const char* what) {
    skipBlanks();
    if (at_ >= line_.size()) throw LineError(std::string("missing ") + what);
    const std::size_t start = at_;
    while (at_ < line_.size() && !isBlank(line_[at_])) ++at_;
    return line_.substr(start, at_ - start);
  }
  double number(const char* what, double min, double max) {
    const std::string text = word(what);
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(text.c_str(), &end);
    if (errno != 0 || *end != '\0' || !std::isfinite(value) || value < min ||
        value > max) {
      throw LineError(std::string("bad ") + what + " " + text);
    }
    return value;
  }
  int integer(const char* what, int min, int max) {
    const double value = number(what, min, max);
    if (value != std::floor(value)) throw LineError(std::string("bad ") + what);
    return static_cast<int>(value);
  }
  // The rest of the line: it becomes one field of a wire line, so it may
  // not hold the field separator.
  std::string text(const char* what) {
    skipBlanks();
    std::string rest = line_.substr(std::min(at_, line_.size()));
    while (!rest.empty() && isBlank(rest.back())) rest.pop_back();
    at_ = line_.size();
    if (rest.empty()) throw LineError(std::string("missing ") + what);
    if (rest.find(':') != std::string::npos)
      throw LineError(std::string(what) + " holds ':'");
    return rest;
  }
  void end() {
    if (!atEnd()) throw LineError("extra words");
  }

 private:
  static bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }
  void skipBlanks() {
    while (at_ < line_.size() && isBlank(line_[at_])) ++at_;
  }

  const std::string& line_;
  std::size_t at_ = 0;
};

std::string callsign(Words& words) {
  std::string text = words.word("callsign");
  if (text.size() > 31) throw LineError("callsign too long");
  for (const char c : text) {
    const auto u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u >= 0x7f || c == ':' || c == '&' || c == '*' ||
        c == '@') {
      throw LineError("bad callsign " + text);
    }
  }
  return text;
}

char oneOf(Words& words, const char* what, const std::string& letters) {
  const std::string text = words.word(what);
  if (text.size() != 1 || letters.find(text[0]) == std::string::npos)
    throw LineError(std::string("bad ") + what + " " + text);
  return text[0];
}

// "120.500" to "20500": kilohertz less 100 000, five digits.
std::string frequencyText(Words& words) {
  const double mhz = words.number("frequency", 118.0, 136.99);
  const long khz = std::lround(mhz * 1000.0) - 100000;
  char text[24];
  std::snprintf(text, sizeof text, "%05ld", khz);
  return text;
}

double latitude(Words& words) { return words.number("latitude", -89, 89); }
double longitude(Words& words) { return words.number("longitude", -180, 180); }
int altitude(Words& words) { return words.integer("altitude", 0, 60000); }
int speed(Words& words) { return words.integer("speed", 40, 600); }
double course(Words& words) { return words.number("heading", 0, 360); }
double seconds(Words& words, const char* what) {
  return words.number(what, 0, 1e7);
}

class Parser {
 public:
  void line(const std::string& keyword, Words& words) {
    if (keyword == "airport") {
      const std::string name = words.word("airport");
      const double lat = latitude(words);
      const double lon = longitude(words);
      const int elevation = words.integer("elevation", -1500, 15000);
      words.end();
      world_.airport = name;
      world_.latitude = lat;
      world_.longitude = lon;
      world_.elevationFt = elevation;
    } else if (keyword == "runway") {
      WorldRunway runway;
      runway.name = words.word("runway");
      runway.latitude = latitude(words);
      runway.longitude = longitude(words);
      runway.headingDeg = course(words);
      if (world_.runway(runway.name) != nullptr)
        throw LineError("runway " + runway.name + " twice");
      words.end();
      world_.runways.push_back(runway);
    } else if (keyword == "pilot") {
      pilot(words);
    } else if (keyword == "controller") {
      WorldController controller;
      controller.callsign = newStation(words);
      controller.frequency = frequencyText(words);
      controller.facility = words.integer("facility", 0, 9);
      controller.rangeNm = words.integer("range", 0, 2000);
      controller.rating = words.integer("rating", 0, 12);
      controller.latitude = latitude(words);
      controller.longitude = longitude(words);
      words.end();
      world_.controllers.push_back(controller);
    } else if (keyword == "atis") {
      const std::string name = callsign(words);
      WorldController* controller = findController(name);
      if (controller == nullptr) throw LineError("no controller " + name);
      controller->atis = words.text("text");
    } else if (keyword == "say" || keyword == "guard") {
      WorldMessage message;
      message.callsign = knownStation(words);
      message.onGuard = keyword == "guard";
      if (!message.onGuard && findController(message.callsign) == nullptr)
        throw LineError(message.callsign + " is not a controller");
      message.firstSeconds = seconds(words, "first time");
      message.everySeconds = seconds(words, "interval");
      message.text = words.text("text");
      words.end();
      world_.messages.push_back(message);
    } else if (keyword == "away") {
      WorldAbsence absence;
      absence.callsign = knownStation(words);
      absence.firstSeconds = seconds(words, "first time");
      absence.durationSeconds = seconds(words, "duration");
      absence.everySeconds = seconds(words, "interval");
      if (absence.everySeconds != 0 &&
          absence.everySeconds <= absence.durationSeconds)
        throw LineError("interval not longer than the absence");
      words.end();
      world_.absences.push_back(absence);
    } else if (keyword == "weather") {
      const double every = words.number("interval", 10, 1e7);
      const int altimeter = words.integer("altimeter", 2500, 3200);
      words.end();
      world_.weather.everySeconds = every;
      world_.weather.altimeter = altimeter;
    } else if (keyword == "clouds") {
      WorldWeather read = world_.weather;
      for (auto& layer : read.clouds) {
        layer[0] = words.integer("cloud top", -1, 60000);
        layer[1] = words.integer("cloud base", 0, 60000);
        layer[2] = words.integer("coverage", 0, 8);
      }
      read.storm = words.integer("storm", -1, 1);
      words.end();
      world_.weather = read;
    } else if (keyword == "wind") {
      if (world_.weather.winds.size() == 4)
        throw LineError("more than four wind layers");
      WorldWindLayer layer;
      layer.lowFt = altitude(words);
      layer.highFt = altitude(words);
      layer.directionDeg = words.integer("wind direction", 0, 360);
      layer.speedKt = words.integer("wind speed", 0, 300);
      words.end();
      world_.weather.winds.push_back(layer);
    } else {
      throw LineError("unknown keyword " + keyword);
    }
  }

  World take() { return std::move(world_); }

 private:
  void pilot(Words& words) {
    WorldPilot pilot;
    pilot.callsign = newStation(words);
    pilot.model = words.word("type");
    pilot.engineLetter = oneOf(words, "engine", "JTP");
    pilot.modeLetter = oneOf(words, "transponder mode", "NSY");
    pilot.squawk = words.integer("squawk", 0, 7777);
    const std::string kind = words.word("flight");
    if (kind == "circuit") {
      pilot.kind = FlightKind::Circuit;
      pilot.runway = knownRunway(words);
      const std::string side = words.word("side");
      if (side != "left" && side != "right")
        throw LineError("bad side " + side);
      pilot.rightHand = side == "right";
      pilot.speedKt = speed(words);
      pilot.altitudeFt = altitude(words);
    } else if (kind == "departure") {
      pilot.kind = FlightKind::Departure;
      pilot.runway = knownRunway(words);
      pilot.speedKt = speed(words);
      pilot.altitudeFt = altitude(words);
      pilot.courseDeg = course(words);
    } else if (kind == "arrival") {
      pilot.kind = FlightKind::Arrival;
      pilot.runway = knownRunway(words);
      pilot.speedKt = speed(words);
      pilot.courseDeg = course(words);
      pilot.distanceNm = words.number("distance", 12, 300);
      pilot.altitudeFt = altitude(words);
    } else if (kind == "overflight" || kind == "orbit") {
      pilot.kind = kind == "orbit" ? FlightKind::Orbit : FlightKind::Overflight;
      pilot.latitude = latitude(words);
      pilot.longitude = longitude(words);
      if (pilot.kind == FlightKind::Orbit) {
        pilot.distanceNm = words.number("radius", 0.5, 50);
      } else {
        pilot.courseDeg = course(words);
      }
      pilot.speedKt = speed(words);
      pilot.altitudeFt = altitude(words);
    } else {
      throw LineError("unknown flight " + kind);
    }
    if (!words.atEnd())
      pilot.offsetSeconds = words.number("start time", 0, 86400);
    words.end();
    world_.pilots.push_back(pilot);
  }

  std::string newStation(Words& words) {
    std::string name = callsign(words);
    if (world_.hasStation(name)) throw LineError(name + " twice");
    return name;
  }
  std::string knownStation(Words& words) {
    std::string name = callsign(words);
    if (!world_.hasStation(name)) throw LineError("no station " + name);
    return name;
  }
  std::string knownRunway(Words& words) {
    std::string name = words.word("runway");
    if (world_.runway(name) == nullptr) throw LineError("no runway " + name);
    return name;
  }
  WorldController* findController(const std::string& name) {
    for (auto& controller : world_.controllers) {
      if (controller.callsign == name) return &controller;
    }
    return nullptr;
  }

  World world_;
};

}  // namespace

const WorldRunway* World::runway(const std::string& name) const {
  for (const auto& candidate : runways) {
    if (candidate.name == name) return &candidate;
  }
  return nullptr;
}

bool World::hasStation(const std::string& callsign) const {
  for (const auto& pilot : pilots) {
    if (pilot.callsign == callsign) return true;
  }
  for (const auto& controller : controllers) {
    if (controller.callsign == callsign) return true;
  }
  return false;
}

WorldParseResult parseWorld(const std::string& text) {
  WorldParseResult result;
  Parser parser;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    Words words(line);
    if (words.atEnd()) continue;
    const std::string keyword = words.word("keyword");
    if (keyword[0] == '#') continue;
    try {
      parser.line(keyword, words);
    } catch (const LineError& error) {
      result.errors.push_back("line " + std::to_string(number) + ": " +
                              error.what());
    }
  }
  result.world = parser.take();
  return result;
}

WorldParseResult loadWorldFile(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    WorldParseResult result;
    result.errors.push_back("cannot read " + path);
    return result;
  }
  std::ostringstream text;
  text << file.rdbuf();
  return parseWorld(text.str());
}

}  // namespace netserver
