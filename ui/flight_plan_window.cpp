// The flight plan window 'txFP'. Empty parts of the stored plan are offered
// from the simulator; the times always come from its clock.
#include "ui/flight_plan_window.h"

#include <cstring>
#include <string>

#include "core/fourcc.h"
#include "core/host.h"
#include "core/text.h"
#include "net/connection_record.h"
#include "traffic/aircraft_choice.h"
#include "ui/field_alert.h"
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

// Blanks around at most nine digits (every such number fits an int), or
// nothing at all, which reads as 0.
bool IsNumberText(const char* text) {
  while (*text == ' ') ++text;
  while (*text == '0' && text[1] >= '0' && text[1] <= '9') ++text;
  int digits = 0;
  for (; *text >= '0' && *text <= '9'; ++text) ++digits;
  while (*text == ' ') ++text;
  return *text == '\0' && digits <= 9;
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

// The planner offers what the plan lacks: a cruise altitude when it has
// none, an airspeed when it is 0. What the plan holds is shown as filed.
void ShowCruise(FlightPlan& plan) {
  const CruiseDefaults cruise = SimulatorCruise();
  if (plan.cruiseAltitude[0] == '\0')
    CopyText(plan.cruiseAltitude, cruise.altitude);
  if (plan.airspeed == 0) plan.airspeed = ParseInt(cruise.airspeed);
  Show(kCruiseAltitude, plan.cruiseAltitude);
  ShowNumber(kAirspeed, plan.airspeed);
}

// Reads the window into the plan, checking every typed field that goes
// into the "$FP" line; the refusal names the first at fault, in the
// window's order.
class WindowReader {
 public:
  explicit WindowReader(FlightPlan& plan) : plan_(plan) {}

  FieldRefusal read() {
    ReadRules(plan_);
    CopyText(plan_.aircraftType, ChosenModel());
    number(kAirspeed, "True airspeed", plan_.airspeed);
    upper(kDeparture, "Departure", plan_.departure);
    number(kEstimatedTime, "Departure time", plan_.estimatedTime);
    number(kActualTime, "Actual time", plan_.actualTime);
    ReadText(kCruiseAltitude, plan_.cruiseAltitude);
    check(kCruiseAltitude, "Cruise altitude", plan_.cruiseAltitude);
    upper(kDestination, "Destination", plan_.destination);
    number(kEnrouteHours, "En route hours", plan_.enrouteHours);
    number(kEnrouteMinutes, "En route minutes", plan_.enrouteMinutes);
    number(kFuelHours, "Fuel hours", plan_.fuelHours);
    number(kFuelMinutes, "Fuel minutes", plan_.fuelMinutes);
    upper(kAlternate, "Alternate", plan_.alternate);
    upper(kRemarks, "Remarks", plan_.remarks);
    upper(kRoute, "Route", plan_.route);
    return refusal_;
  }

 private:
  // A number is never sent as a 0 that the user did not type.
  void number(std::uint32_t control, const char* name, int& value) {
    char text[64];
    ReadText(control, text);
    // A text that fills the buffer may have been cut: not a number read.
    if (!IsNumberText(text) || std::strlen(text) + 1 == sizeof text)
      refuse(control, std::string(name) + " must be a number.");
    value = ParseInt(text);
  }
  template <std::size_t N>
  void upper(std::uint32_t control, const char* name, char (&text)[N]) {
    ReadUpper(control, text);
    check(control, name, text);
  }
  void check(std::uint32_t control, const char* name, const char* text) {
    if (!IsSafeField(text)) refuse(control, UnsafeFieldLine(name));
  }
  void refuse(std::uint32_t control, const std::string& why) {
    if (!refusal_.refused()) refusal_ = {kPlanRefused + why, control};
  }

  FlightPlan& plan_;
  FieldRefusal refusal_;
};

// A refused plan is neither stored nor sent, and the window stays open
// with what was typed; the reason goes to the history and to an alert.
void FileWindow() {
  FlightPlan plan = StoredFlightPlan();
  const FieldRefusal refusal = WindowReader(plan).read();
  if (refusal.refused()) {
    AddHistoryLine(refusal.text.c_str());
    AlertAtField(kWindow, refusal);
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
