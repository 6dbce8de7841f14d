// The latest "$FP" flight plan line of every callsign that filed one.
#pragma once

#include <map>
#include <string>

namespace netserver {

class FlightPlanStore {
 public:
  // Replaces the callsign's earlier plan.
  void store(const std::string& callsign, const std::string& line) {
    plans_[callsign] = line;
  }
  // Ordered by callsign.
  const std::map<std::string, std::string>& plans() const { return plans_; }

 private:
  std::map<std::string, std::string> plans_;
};

}  // namespace netserver
