// Replaces a pilot's default AI aircraft with the model it announced.
#include <string>

#include "core/host.h"
#include "traffic/aircraft_choice.h"
#include "traffic/traffic_table.h"

namespace talvix {
namespace {

constexpr std::size_t kModelNameMax = 32;

// A received code becomes part of a file path: only letters, digits, '-'
// and '_' may, so no code reaches outside the model folder.
bool IsSafeModelName(const std::string& name) {
  if (name.empty() || name.size() > kModelNameMax) return false;
  for (char c : name) {
    bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
              (c >= '0' && c <= '9') || c == '-' || c == '_';
    if (!ok) return false;
  }
  return true;
}

const char* DefaultModelFor(char engineDigit) {
  switch (engineDigit) {
    case '0': return "def_piston_acft.tvx";
    case '1': return "def_jet_acft.tvx";
    case '2': return "def_plannor_acft.tvx";
    case '3': return "def_turbin_acft.tvx";
    default: return nullptr;
  }
}

}  // namespace

bool ChangeModel(TrafficRecord* record, const char* code, char engineDigit) {
  if (record == nullptr || code == nullptr) return false;
  std::string name = code[0] == '~' ? code + 1 : code;
  bool safe = IsSafeModelName(name);
  std::string file = name + ".tvx";

  HostObject* object =
      safe ? host::CreateObject(("tvox\\" + file).c_str()) : nullptr;
  bool found = object != nullptr;
  if (!found) {
    const char* fallback = DefaultModelFor(engineDigit);
    if (fallback != nullptr) {
      file = fallback;
    } else if (!safe) {
      return false;
    }
    object = host::CreateObject(("tvox/" + file).c_str());
    if (object == nullptr) return false;
  }

  // Without an object of its own the record stays as it is, and the new
  // object must not stay in the simulator.
  if (record->object == nullptr) {
    host::DestroyObject(object);
    return found;
  }

  HostObject* old = record->object;
  record->object = object;
  record->reference = object->ref;
  host::DestroyObject(old);

  std::string label = record->callsign;
  if (found) {
    label += std::string(" - ") + code;
    std::string notice = std::string("Changed ") + record->callsign +
                         " to type: " + file.substr(0, 4);
    host::TimedMessage(notice.c_str(), 2.0f);
  }
  host::SetNames(record->reference, record->callsign, label.c_str());
  return found;
}

}  // namespace talvix
