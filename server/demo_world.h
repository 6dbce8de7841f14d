// The small world of --demo: three pilots circling near KSFO and its tower.
#pragma once

namespace netserver {

const char* demoWorldText();

}  // namespace netserver
