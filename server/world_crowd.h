// A crowd of pilots added to a world: each circles a point near the
// airport at its own level and speed, with a type from the aircraft list,
// so a client sees a busy network.
#pragma once

#include <string>
#include <vector>

#include "server/world_file.h"

namespace netserver {

struct CrowdType {
  std::string code;   // "B738"
  char engineLetter;  // 'J', 'T' or 'P'
};

// The types of an aircraft list ("name,CODE,model,ENGINE" a line, as
// data/CSL_ICAO.csv); lines that do not read so are skipped.
std::vector<CrowdType> readCrowdTypes(const std::string& csvText);

// The greatest distance of a crowd pilot from the airport, nautical miles.
constexpr double kCrowdRadiusNm = 90.0;

// Adds count pilots CROWD0001... to the world, the same ones for the same
// count: every pilot stays within kCrowdRadiusNm of the airport, at a level
// from 1000 to 41000 ft, at a speed that suits it. Callsigns the world
// already has are skipped. Without types every pilot is a C172.
void addCrowd(World& world, int count, const std::vector<CrowdType>& types);

}  // namespace netserver
