// The flight plan window 'txFP'. Empty parts of the stored plan are offered
// from the simulator; the times always come from its clock.
#include "ui/flight_plan_window.h"

#include <string>

#include "core/fourcc.h"
#include "core/host.h"
#include "core/text.h"
#include "net/connection_record.h"
#include "traffic/aircraft_choice.h"
#include "ui/flight_plan_defaults.h"
#include "ui/history.h"
#include "ui/typed_fields.h"
#include "ui/window_codes.h"

namespace talvix {
namespace {

constexpr std::uint32_t kWindow = codes::kFlightPlanWindow;
constexpr char kPlanRefused[] = "Flight plan not sent: ";

constexpr std::uint32_t kCallsign = FourCC("idnt");
constexpr std::uint32_t kFirstName = FourCC("frNm");
constexpr std::uint32_t kLastName = FourCC("lsNm");
constexpr std::uint32_t kHomeBase = FourCC("hmBs");
constexpr std::uint32_t kVfr = FourCC("vfrB");
constexpr std::uint32_t kIfr = FourCC("ifrB");
constexpr std::uint32_t kSpecialVfr = FourCC("svfB");
constexpr std::uint32_t kAircraftId = FourCC("acID");
constexpr std::uint32_t kAircraftType = FourCC("type");
constexpr std::uint32_t kAirspeed = FourCC("_tas");
constexpr std::uint32_t kDeparture = FourCC("depP");
constexpr std::uint32_t kEstimatedTime = FourCC("estT");
constexpr std::uint32_t kActualTime = FourCC("actT");
constexpr std::uint32_t kCruiseAltitude = FourCC("crzA");
constexpr std::uint32_t kDestination = FourCC("dest");
constexpr std::uint32_t kEnrouteHours = FourCC("enrH");
constexpr std::uint32_t kEnrouteMinutes = FourCC("enrM");
constexpr std::uint32_t kFuelHours = FourCC("fueH");
constexpr std::uint32_t kFuelMinutes = FourCC("fueM");
constexpr std::uint32_t kAlternate = FourCC("altA");
constexpr std::uint32_t kRemarks = FourCC("rmrk");
constexpr std::uint32_t kRoute = FourCC("fplA");
constexpr std::uint32_t kAircraftButton = FourCC("acBn");
constexpr std::uint32_t kOkButton = FourCC("okBn");
constexpr std::uint32_t kCancelButton = FourCC("cnBn");

void Show(std::uint32_t control, const char* text) {
  host::SetText(kWindow, control, text);
}
void ShowNumber(std::uint32_t control, int value) {
  Show(control, std::to_string(value).c_str());
}

// The field's text cut to the buffer.
template <std::size_t N>
void ReadText(std::uint32_t control, char (&buffer)[N]) {
  buffer[0] = '\0';
  host::GetText(kWindow, control, buffer, static_cast<int>(N));
  buffer[N - 1] = '\0';
}
template <std::size_t N>
void ReadUpper(std::uint32_t control, char (&buffer)[N]) {
  ReadText(control, buffer);
  CopyText(buffer, ToUpper(buffer));
}
int ReadNumber(std::uint32_t control) {
  char text[32];
  ReadText(control, text);
  return ParseInt(text);
}

std::uint32_t RulesButton(char rules) {
  switch (rules) {
    case 'V': return kVfr;
    case 'S': return kSpecialVfr;
    default: return kIfr;
  }
}

// The button that is on decides; with none on the letter stays.
void ReadRules(FlightPlan& plan) {
  if (host::GetButtonState(kWindow, kVfr)) {
    plan.rules = 'V';
  } else if (host::GetButtonState(kWindow, kIfr)) {
    plan.rules = 'I';
  } else if (host::GetButtonState(kWindow, kSpecialVfr)) {
    plan.rules = 'S';
  }
}

void ShowTimes(FlightPlan& plan) {
  const PlanTimes times = SimulatorPlanTimes();
  Show(kActualTime, times.actual.c_str());
  plan.actualTime = ParseInt(times.actual);
  Show(kEstimatedTime, times.estimated.c_str());
  plan.estimatedTime = ParseInt(times.estimated);
}

// Without a cruise altitude or an airspeed, both come from the planner.
void ShowCruise(FlightPlan& plan) {
  if (plan.cruiseAltitude[0] == '\0' || plan.airspeed == 0) {
    const CruiseDefaults cruise = SimulatorCruise();
    CopyText(plan.cruiseAltitude, cruise.altitude);
    if (plan.airspeed == 0) plan.airspeed = ParseInt(cruise.airspeed);
  }
  Show(kCruiseAltitude, plan.cruiseAltitude);
  ShowNumber(kAirspeed, plan.airspeed);
}

void ReadWindow(FlightPlan& plan) {
  ReadRules(plan);
  CopyText(plan.aircraftType, ChosenModel());
  plan.airspeed = ReadNumber(kAirspeed);
  ReadUpper(kDeparture, plan.departure);
  plan.estimatedTime = ReadNumber(kEstimatedTime);
  plan.actualTime = ReadNumber(kActualTime);
  ReadText(kCruiseAltitude, plan.cruiseAltitude);
  ReadUpper(kDestination, plan.destination);
  plan.enrouteHours = ReadNumber(kEnrouteHours);
  plan.enrouteMinutes = ReadNumber(kEnrouteMinutes);
  plan.fuelHours = ReadNumber(kFuelHours);
  plan.fuelMinutes = ReadNumber(kFuelMinutes);
  ReadUpper(kAlternate, plan.alternate);
  ReadUpper(kRemarks, plan.remarks);
  ReadUpper(kRoute, plan.route);
}

// The line that refuses the plan, or "" when every typed field may go into
// the "$FP" line.
std::string PlanRefusal(const FlightPlan& plan) {
  const struct {
    const char* name;
    const char* text;
  } fields[] = {{"Departure", plan.departure},
                {"Cruise altitude", plan.cruiseAltitude},
                {"Destination", plan.destination},
                {"Alternate", plan.alternate},
                {"Remarks", plan.remarks},
                {"Route", plan.route}};
  for (const auto& field : fields) {
    if (!IsSafeField(field.text))
      return std::string(kPlanRefused) + UnsafeFieldLine(field.name);
  }
  return std::string();
}

// A refused plan is neither stored nor sent, and the window stays open
// with what was typed.
void FileWindow() {
  FlightPlan plan = StoredFlightPlan();
  ReadWindow(plan);
  const std::string refusal = PlanRefusal(plan);
  if (!refusal.empty()) {
    AddHistoryLine(refusal.c_str());
    return;
  }
  StoredFlightPlan() = plan;
  SendFlightPlan();
  host::CloseWindow(kWindow);
}

void OpenAircraftWindow() {
  if (!host::IsWindowOpen(codes::kAircraftWindow)) {
    host::CreateHostWindow(StoredFlightPlan().signature, codes::kAircraftWindow,
                           "txAcft.WIN");
  }
  LoadAircraftList();
}

}  // namespace

void SetFlightPlanSignature(int signature) {
  StoredFlightPlan().signature = signature;
}

void FillFlightPlanWindow() {
  // What the simulator offers is shown, not stored: only OK stores.
  FlightPlan plan = StoredFlightPlan();
  LoadAircraftList();

  const ConnectionRecord& record = Connection();
  Show(kCallsign, record.callsign);
  Show(kFirstName, record.firstName);
  Show(kLastName, record.lastName);
  Show(kHomeBase, record.homeBase);
  host::SetButtonState(kWindow, RulesButton(plan.rules), 1);

  if (plan.departure[0] == '\0') CopyText(plan.departure, SimulatorDeparture());
  Show(kDeparture, plan.departure);
  ShowTimes(plan);
  ShowCruise(plan);
  if (plan.destination[0] == '\0')
    CopyText(plan.destination, SimulatorDestination());
  Show(kDestination, plan.destination);

  ShowNumber(kEnrouteHours, plan.enrouteHours);
  ShowNumber(kEnrouteMinutes, plan.enrouteMinutes);
  ShowNumber(kFuelMinutes, plan.fuelMinutes);
  ShowNumber(kFuelHours, plan.fuelHours);
  Show(kAlternate, plan.alternate);
  Show(kRemarks, plan.remarks);

  if (plan.route[0] == '\0') CopyText(plan.route, SimulatorRoute());
  Show(kRoute, plan.route);
  ShowAircraftChoice();
}

void OnFlightPlanWindowEvent(std::uint32_t control, std::uint32_t event) {
  if (event != codes::kEventAction) return;
  switch (control) {
    case kAircraftButton: OpenAircraftWindow(); break;
    case kOkButton: FileWindow(); break;
    case kCancelButton: host::CloseWindow(kWindow); break;
    default: break;
  }
}

void ShowAircraftChoice() {
  Show(kAircraftType, ChosenDescription());
  Show(kAircraftId, ChosenModel());
}

}  // namespace talvix
