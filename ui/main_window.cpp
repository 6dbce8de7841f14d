// Not built yet: does nothing so the idle cycle runs end to end.
#include "ui/main_window.h"

namespace talvix {

void OpenMainWindow() {}
void InitMainWindow() {}
void ShowTransponderMode() {}
void RouteWindowEvent(int, int, int, int, int) {}
void OnMainWindowEvent(std::uint32_t, std::uint32_t, std::uint32_t) {}

}  // namespace talvix
