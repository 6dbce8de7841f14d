#include "ui/shared_values.h"

namespace talvix {
namespace {
int g_signature = 0;
int g_mpDistance = 0;
int g_autoWeather = 1;
int g_altitudeOffset = 0;
}  // namespace

int PluginSignature() { return g_signature; }
void SetPluginSignature(int signature) { g_signature = signature; }
int& MPDistance() { return g_mpDistance; }
int& AutoWeather() { return g_autoWeather; }
int& AltitudeOffset() { return g_altitudeOffset; }

}  // namespace talvix
