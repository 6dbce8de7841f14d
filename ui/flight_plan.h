// The user's flight plan: kept for the whole run, changed only by OK in the
// flight plan window, and filed with the server as one "$FP" line.
#pragma once

namespace talvix {

struct FlightPlan {
  int signature =
      0;             // the plug-in signature, copied when the main window opens
  char rules = 'I';  // 'V', 'I' or 'S'
  char aircraftType[10] = "";
  int airspeed = 0;  // knots
  char departure[16] = "";
  int estimatedTime = 0;  // 'estT', hours x 100 + minutes
  int actualTime = 0;     // 'actT', hours x 100 + minutes
  char cruiseAltitude[16] = "";
  char destination[16] = "";
  int enrouteHours = 0;
  int enrouteMinutes = 0;
  int fuelHours = 0;
  int fuelMinutes = 0;
  char alternate[16] = "";
  char remarks[256] = "";
  char route[512] = "";
};

FlightPlan& StoredFlightPlan();

// Files the stored plan: queued while connected, "Flight Plan Sent" once
// it is written; else "You must be connected first" and nothing is sent.
void SendFlightPlan();
// Files the stored plan again; a plan with neither departure nor
// destination was never filed: "No flight plan to send: file one first."
// and nothing is sent.
void ResendFlightPlan();

}  // namespace talvix
