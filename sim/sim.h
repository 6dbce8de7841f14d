// The stand-in simulator: loads the plug-in, hands it the host services
// table, drives its idle callback and delivers window, menu and key events.
// Tests use it directly; simhost wraps it with a script.
//
// The host table's slots carry no context, so one Simulator at a time owns
// them: the one that loaded a plug-in last (see host_table.h).
#pragma once

#include <memory>
#include <nlohmann/json.hpp>
#include <string>

#include "core/host_services.h"
#include "sim/host_model.h"

namespace sim {

class SharedLibrary;
class ScriptRunner;

// The reference number this host gives the plug-in.
constexpr int kReferenceNumber = 4242;

class Simulator {
 public:
  explicit Simulator(std::string rootDir);
  ~Simulator();  // unloads the plug-in
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Loads the plug-in and runs the start sequence: DLLGetSDKVersion,
  // DLLInitPrivate, DLLInit, then the menu set-up callback. freshCopy loads
  // a private copy of the file, so the plug-in's module-wide state starts
  // anew even when this process loaded it before.
  bool loadPlugin(const std::string& path, bool freshCopy = true,
                  std::string* error = nullptr);
  bool loaded() const { return library_ != nullptr; }
  // DLLKill, then the library is released.
  void unload();

  // Idle calls in real time for that long, at the frame rate, each passing
  // the real seconds since the previous call.
  void idle(double seconds);
  // n idle calls of dt seconds each, without pacing.
  void frames(int n, float dt);
  void idleOnce(float dt);
  void setFramesPerSecond(int fps) { fps_ = fps > 0 ? fps : 30; }

  // Events. Each returns false when the plug-in registered no callback or
  // the event has no target (window not open, menu item not added).
  bool key(int keyCode, int modifierCode);
  bool menuSelect(std::uint32_t menu, std::uint32_t item);
  bool windowEvent(std::uint32_t window, std::uint32_t control,
                   std::uint32_t event, int extra = 0);
  // The user's close box: the host closes the window, then reports 'clos'.
  bool userClose(std::uint32_t window);
  bool cleanUp();  // the plug-in's clean-up callback

  // One script line (see script.h); false with the reason when it failed.
  bool runCommand(const std::string& line, std::string* error = nullptr);

  nlohmann::json dump() const;

  HostModel& model() { return model_; }
  const HostModel& model() const { return model_; }
  const std::string& root() const { return model_.root(); }
  const talvix::AboutRecord& about() const { return about_; }
  int sdkVersion() const { return sdkVersion_; }
  int initPrivateResult() const { return initPrivateResult_; }
  int initResult() const { return initResult_; }
  int menuSetUpResult() const { return menuSetUpResult_; }
  int referenceNumberReported() const;  // DLLGetReferenceNumber
  void* callback(int slot) const;

 private:
  talvix::HostServicesTable table_{};
  talvix::CallbackRecord callbacks_{};
  talvix::AboutRecord about_{};
  HostModel model_;
  std::unique_ptr<SharedLibrary> library_;
  std::string copiedPath_;  // the private copy, removed after unload
  std::unique_ptr<ScriptRunner> script_;
  int fps_ = 30;
  int sdkVersion_ = 0;
  int initPrivateResult_ = 0;
  int initResult_ = 0;
  int menuSetUpResult_ = 0;
};

}  // namespace sim
