// The periodic weather request: the METAR of the airport nearest the user.
#include "weather/weather_request.h"

#include <new>
#include <string>

#include "core/host.h"
#include "net/connection_record.h"
#include "net/packet.h"
#include "net/session.h"
#include "protocol/own_aircraft.h"
#include "weather/metar.h"
#include "weather/weather_state.h"

namespace talvix {

void handleWeatherRequest() {
  if (!IsConnected()) return;
  NearestAirportRecord& nearest = LastNearestAirport();
  host::NearestAirport(OwnRawPosition(), &nearest);

  Packet* request = new (std::nothrow) Packet();
  if (request == nullptr) {
    reportFatalMemoryError();
    return;
  }
  request->setText("$AX");
  request->appendField(OwnCallsign());
  request->appendField("SERVER");
  request->appendField("METAR");
  request->appendField(NearestIdentifier(nearest).c_str());
  QueueIfConnected(request);
}

}  // namespace talvix
