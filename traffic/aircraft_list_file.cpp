// Reading "CSL_ICAO.csv": one aircraft per line, four comma-separated
// fields, no quoting.
#include <string>

#include "traffic/aircraft_choice.h"

namespace talvix {

bool ReadAircraftLine(std::FILE* file, std::string* line, bool* overlong) {
  line->clear();
  *overlong = false;
  int c = std::getc(file);
  if (c == EOF) return false;
  // One character more than the limit leaves room for a CR before the LF.
  for (; c != EOF && c != '\n'; c = std::getc(file)) {
    if (line->size() <= kAircraftLineMax) {
      line->push_back(static_cast<char>(c));
    } else {
      *overlong = true;
    }
  }
  if (!line->empty() && line->back() == '\r') line->pop_back();
  if (line->size() > kAircraftLineMax) *overlong = true;
  return true;
}

bool ParseAircraftLine(const std::string& line, AircraftRow* row) {
  if (line.empty()) return false;
  std::string fields[4];
  std::size_t start = 0;
  for (int i = 0; i < 4; ++i) {
    if (start > line.size()) return false;  // fewer than four fields
    std::size_t comma = line.find(',', start);
    std::size_t end = comma == std::string::npos ? line.size() : comma;
    fields[i] = line.substr(start, end - start);
    start = comma == std::string::npos ? line.size() + 1 : comma + 1;
  }
  row->description = fields[0];
  row->model = fields[1];
  row->csl = fields[2].empty() ? std::string() : fields[2].substr(1);
  row->engine = fields[3];
  return true;
}

}  // namespace talvix
