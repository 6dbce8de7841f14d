// The two sound cues that many parts use.
#pragma once

namespace talvix {

// Plays "ATTN.WAV" unless the one started last is still playing.
void PlayAttention();
// Raises the main window when "AutoPopup" is set, and plays "MYATTN.WAV".
void AlertUser();

}  // namespace talvix
