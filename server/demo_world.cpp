#include "server/demo_world.h"

namespace netserver {

const char* demoWorldText() {
  return R"(# The built-in demo world (netserver --demo).
airport KSFO 37.6189 -122.3750 13
pilot DEMO1 B738 J N 4521 orbit 37.6189 -122.3750 4 180 3500
pilot DEMO2 C172 P Y 1200 orbit 37.6500 -122.3000 2 95 1500
pilot DEMO3 AT72 T S 3342 orbit 37.5800 -122.4300 6 210 6000
controller KSFO_TWR 120.000 4 50 3 37.6189 -122.3750
atis KSFO_TWR KSFO_TWR ATIS INFORMATION ALPHA. LANDING AND DEPARTING 28L AND 28R. ALTIMETER 2992. VOICE 127.0.0.1/KSFO_TWR
)";
}

}  // namespace netserver
