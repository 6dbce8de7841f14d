// The connect window 'txCN', filled from the settings.
#pragma once

namespace talvix {

void FillConnectDialog();

// Copies the text of the server popup's current item into the connection
// record: whole, or refused later at OK when it is too long to hold.
void TakeServerSelection();

}  // namespace talvix
