// The main window 'txMN' and the routing of every window event.
#pragma once

#include <cstdint>

namespace talvix {

void OpenMainWindow();
void InitMainWindow();
void ShowTransponderMode();
void RouteWindowEvent(int signature, int window, int control, int event,
                      int extra);
void OnMainWindowEvent(std::uint32_t control, std::uint32_t event,
                       std::uint32_t extra);

}  // namespace talvix
