// The idle cycle: called by the simulator on every frame, it counts the two
// timers down and, while connected, reads the aircraft, handles the received
// lines waiting (a bounded number), reports the position every five seconds and asks for weather every
// 300 seconds.
#pragma once

namespace talvix {

constexpr float kPositionPeriod = 5.0f;
constexpr float kWeatherPeriod = 300.0f;
constexpr float kPositionTimerAtLoad = 5.0f;
constexpr float kWeatherTimerAtLoad = 0.0f;

// The steps one idle call runs; the plug-in's own cycle uses the real ones,
// and a cycle can be built over others to watch its timing.
struct IdleSteps {
  bool (*connected)();
  void (*updateFlyParameters)();
  void (*handleIncomingMessage)();
  void (*handlePositionUpdate)();
  void (*handleWeatherRequest)();
  int (*autoWeather)();  // requests are sent only while it returns 1
  // Ends a session whose connection is gone, before the connected test;
  // none in a cycle that only watches the timing.
  void (*endGoneSession)() = nullptr;
};

class IdleCycle {
 public:
  explicit IdleCycle(const IdleSteps& steps);
  // One idle call of elapsed seconds. Never throws.
  void run(float elapsedSeconds);
  float positionTimer() const { return positionTimer_; }
  float weatherTimer() const { return weatherTimer_; }

 private:
  IdleSteps steps_;
  float positionTimer_ = kPositionTimerAtLoad;
  float weatherTimer_ = kWeatherTimerAtLoad;
};

// The steps of the plug-in itself.
IdleSteps LiveIdleSteps();
// The plug-in's one cycle, from load to unload.
IdleCycle& PluginIdleCycle();

}  // namespace talvix
