#include "core/idle_cycle.h"

#include "core/guard.h"
#include "net/session.h"
#include "protocol/dispatch.h"
#include "protocol/own_aircraft.h"
#include "protocol/session_end.h"
#include "ui/shared_values.h"
#include "weather/weather_request.h"

namespace talvix {
namespace {

constexpr char kUpdateFlyGuard[] =
    "****> UpdateFlyParameters - Talvix: Exception caught.";
constexpr char kIncomingGuard[] =
    "****> handleIncomingMessage - Talvix: Exception caught.";
constexpr char kPositionGuard[] =
    "****> handlePositionUpdate - Talvix: Exception caught.";
constexpr char kWeatherGuard[] =
    "****> handleWeatherRequest - Talvix: Exception caught.";

int ReadAutoWeather() { return AutoWeather(); }

}  // namespace

IdleCycle::IdleCycle(const IdleSteps& steps) : steps_(steps) {}

void IdleCycle::run(float elapsedSeconds) {
  // The timers run from load on, connected or not.
  positionTimer_ -= elapsedSeconds;
  weatherTimer_ -= elapsedSeconds;

  try {
    if (steps_.endGoneSession != nullptr) steps_.endGoneSession();
  } catch (...) {
  }
  bool connected = false;
  try {
    connected = steps_.connected();
  } catch (...) {
  }
  if (!connected) return;

  RunGuarded(kUpdateFlyGuard, steps_.updateFlyParameters);
  RunGuarded(kIncomingGuard, steps_.handleIncomingMessage);

  // Each timer is set to its full period before its step runs, so a failing
  // step does not delay the next one and any overshoot is dropped.
  if (positionTimer_ < 0.0f) {
    positionTimer_ = kPositionPeriod;
    RunGuarded(kPositionGuard, steps_.handlePositionUpdate);
  }
  if (weatherTimer_ < 0.0f) {
    weatherTimer_ = kWeatherPeriod;
    int autoWeather = 0;
    try {
      autoWeather = steps_.autoWeather();
    } catch (...) {
    }
    if (autoWeather == 1) {
      RunGuarded(kWeatherGuard, steps_.handleWeatherRequest);
    }
  }
}

IdleSteps LiveIdleSteps() {
  IdleSteps steps;
  steps.connected = IsConnected;
  steps.updateFlyParameters = UpdateFlyParameters;
  steps.handleIncomingMessage = handleIncomingMessage;
  steps.handlePositionUpdate = handlePositionUpdate;
  steps.handleWeatherRequest = handleWeatherRequest;
  steps.autoWeather = ReadAutoWeather;
  steps.endGoneSession = EndGoneSession;
  return steps;
}

IdleCycle& PluginIdleCycle() {
  static IdleCycle cycle(LiveIdleSteps());
  return cycle;
}

}  // namespace talvix
