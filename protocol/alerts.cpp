#include "protocol/alerts.h"

#include "core/host.h"
#include "ui/settings.h"
#include "ui/window_codes.h"

namespace talvix {
namespace {

// The handles of the sounds started last; a cue is not stacked on itself
// while the host still plays it.
int g_attentionSound = 0;
int g_alertSound = 0;

void PlayOnce(int* handle, const char* file) {
  if (host::QuerySound(*handle) != 0) return;
  *handle = host::PlayHostSound(file);
}

}  // namespace

void PlayAttention() { PlayOnce(&g_attentionSound, "ATTN.WAV"); }

void AlertUser() {
  int autoPopup = 0;
  host::ReadSettingInt(settings::kAutoPopup, &autoPopup);
  if (autoPopup != 0) host::RaiseWindow(codes::kMainWindow);
  PlayOnce(&g_alertSound, "MYATTN.WAV");
}

}  // namespace talvix
