// The connect window 'txCN', filled from the settings.
#pragma once

namespace talvix {

void FillConnectDialog();

}  // namespace talvix
