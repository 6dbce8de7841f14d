// Not built yet: does nothing so the idle cycle runs end to end.
#include "voice/voice_control.h"

namespace talvix {

int SwitchVoiceClient(const char*, const char*) { return 0; }
void SwitchTeamSpeakToUnicom() {}
bool RogerWilcoJoin(const char*) { return false; }
bool RogerWilcoLeave() { return false; }

}  // namespace talvix
