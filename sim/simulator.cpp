#include <chrono>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <thread>

#include "core/fourcc.h"
#include "sim/dump.h"
#include "sim/file_lookup.h"
#include "sim/host_table.h"
#include "sim/plugin_loader.h"
#include "sim/script.h"
#include "sim/sim.h"

using namespace talvix;

namespace sim {

Simulator::Simulator(std::string rootDir) : model_(std::move(rootDir)) {
  table_ = BuildHostTable();
}

Simulator::~Simulator() { unload(); }

bool Simulator::loadPlugin(const std::string& path, bool freshCopy,
                           std::string* error) {
  unload();
  std::string loadPath = path;
  if (freshCopy) {
    std::string name = std::filesystem::path(path).filename().string();
    loadPath = UniqueTempPath(name);
    std::error_code ec;
    std::filesystem::copy_file(
        path, loadPath, std::filesystem::copy_options::overwrite_existing, ec);
    if (ec) {
      if (error) *error = "cannot copy " + path + ": " + ec.message();
      return false;
    }
    copiedPath_ = loadPath;
  }
  std::string why;
  library_ = SharedLibrary::open(loadPath, &why);
  if (!library_) {
    if (error) *error = why;
    unload();
    return false;
  }
  auto getSdk = reinterpret_cast<DLLGetSDKVersionFn>(
      library_->symbol("DLLGetSDKVersion"));
  auto initPrivate =
      reinterpret_cast<DLLInitPrivateFn>(library_->symbol("DLLInitPrivate"));
  auto init = reinterpret_cast<DLLInitFn>(library_->symbol("DLLInit"));
  if (!getSdk || !initPrivate || !init || !library_->symbol("DLLKill") ||
      !library_->symbol("DLLGetReferenceNumber")) {
    if (error) *error = "an entry point is missing in " + path;
    library_.reset();
    unload();
    return false;
  }
  SetActiveModel(&model_);
  callbacks_ = CallbackRecord{};
  about_ = AboutRecord{};
  sdkVersion_ = getSdk();
  initPrivateResult_ = initPrivate(&table_, kReferenceNumber);
  initResult_ = init(&callbacks_, &about_);
  auto menuSetUp =
      reinterpret_cast<MenuSetUpCallback>(callbacks_.slot[kCallbackMenuSetUp]);
  menuSetUpResult_ = menuSetUp ? menuSetUp() : 0;
  return true;
}

void Simulator::unload() {
  if (library_) {
    if (auto kill = reinterpret_cast<DLLKillFn>(library_->symbol("DLLKill")))
      kill();
    library_.reset();
  }
  callbacks_ = CallbackRecord{};
  if (ActiveModel() == &model_) SetActiveModel(nullptr);
  if (!copiedPath_.empty()) {
    std::error_code ec;
    std::filesystem::remove_all(
        std::filesystem::path(copiedPath_).parent_path(), ec);
    copiedPath_.clear();
  }
}

int Simulator::referenceNumberReported() const {
  if (!library_) return 0;
  auto fn = reinterpret_cast<DLLGetReferenceNumberFn>(
      library_->symbol("DLLGetReferenceNumber"));
  return fn ? fn() : 0;
}

void* Simulator::callback(int slot) const {
  if (slot < 0 || slot >= kCallbackRecordSlots) return nullptr;
  return callbacks_.slot[slot];
}

void Simulator::idleOnce(float dt) {
  model_.advanceTime(dt);
  if (auto fn = reinterpret_cast<IdleCallback>(callback(kCallbackIdle))) fn(dt);
}

void Simulator::frames(int n, float dt) {
  for (int i = 0; i < n; ++i) idleOnce(dt);
}

void Simulator::idle(double seconds) {
  using Clock = std::chrono::steady_clock;
  const auto period = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(1.0 / fps_));
  const auto start = Clock::now();
  const auto end = start + std::chrono::duration_cast<Clock::duration>(
                               std::chrono::duration<double>(seconds));
  auto last = start;
  auto next = start + period;
  while (next <= end) {
    std::this_thread::sleep_until(next);
    auto now = Clock::now();
    idleOnce(std::chrono::duration<float>(now - last).count());
    last = now;
    next += period;
    if (next < now) next = now + period;  // a slow frame is not caught up
  }
}

bool Simulator::key(int keyCode, int modifierCode) {
  auto fn = reinterpret_cast<KeyCallback>(callback(kCallbackKey));
  if (!fn) return false;
  fn(keyCode, modifierCode);
  return true;
}

bool Simulator::menuSelect(std::uint32_t menu, std::uint32_t item) {
  bool known = model_.read([&](const HostState& s) {
    for (const auto& m : s.menus)
      if (m.code == menu)
        for (const auto& i : m.items)
          if (i.code == item) return true;
    return false;
  });
  auto fn = reinterpret_cast<WindowEventCallback>(callback(kCallbackWindow));
  if (!known || !fn) return false;
  // The simulator's own menus report through the window callback, with the
  // menu bar as the window.
  fn(kPluginSignature, static_cast<int>(kMenuBar), static_cast<int>(menu),
     static_cast<int>(FourCC("slct")), static_cast<int>(item));
  return true;
}

bool Simulator::windowEvent(std::uint32_t window, std::uint32_t control,
                            std::uint32_t event, int extra) {
  int signature = 0;
  bool open = model_.read([&](const HostState& s) {
    auto w = s.windows.find(window);
    if (w == s.windows.end()) return false;
    signature = w->second.signature;
    return true;
  });
  auto fn = reinterpret_cast<WindowEventCallback>(callback(kCallbackWindow));
  if (!open || !fn) return false;
  fn(signature, static_cast<int>(window), static_cast<int>(control),
     static_cast<int>(event), extra);
  return true;
}

bool Simulator::userClose(std::uint32_t window) {
  int signature = 0;
  bool open = model_.modify([&](HostState& s) {
    auto w = s.windows.find(window);
    if (w == s.windows.end()) return false;
    signature = w->second.signature;
    s.windows.erase(w);
    return true;
  });
  auto fn = reinterpret_cast<WindowEventCallback>(callback(kCallbackWindow));
  if (!open || !fn) return open;
  fn(signature, static_cast<int>(window), static_cast<int>(FourCC("clos")),
     static_cast<int>(FourCC("clos")), 0);
  return true;
}

bool Simulator::cleanUp() {
  auto fn = reinterpret_cast<CleanUpCallback>(callback(kCallbackCleanUp));
  if (!fn) return false;
  fn();
  return true;
}

bool Simulator::runCommand(const std::string& line, std::string* error) {
  if (!script_) script_ = std::make_unique<ScriptRunner>(*this, std::cout);
  return script_->run(line, error);
}

nlohmann::json Simulator::dump() const { return DumpState(model_, about_); }

}  // namespace sim
