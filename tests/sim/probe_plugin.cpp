// A tiny plug-in that the host tests load: it registers every callback,
// reports each event it receives as a timed message ("event SIG WIN CTL EVT
// EXTRA", "key K M", "cleanup"), and on key 1 starts worker threads that
// hammer the host from their own threads; key 2 waits for them, DLLKill
// stops them.
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "core/fourcc.h"
#include "core/host_services.h"

using namespace talvix;

#define PROBE_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

HostServicesTable g_table;
int g_reference = 0;
int g_signature = 0;
int g_inits = 0;  // module-wide: a fresh copy of the library starts at 0
int g_idleCalls = 0;
double g_idleSeconds = 0;
std::vector<std::thread> g_workers;
std::atomic<bool> g_stop{false};

template <typename Fn>
Fn Slot(int n) {
  return reinterpret_cast<Fn>(g_table.slot[n]);
}

void Say(const std::string& text) {
  Slot<HostTimedMessageFn>(kSlotTimedMessage)(text.c_str(), 2.0f);
}

void Work(int n) {
  std::string key = "worker" + std::to_string(n);
  int window = static_cast<int>(FourCC("txEX"));
  int list = static_cast<int>(FourCC("exLs"));
  for (int i = 0; i < 200 && !g_stop; ++i) {
    Slot<HostWriteSettingIntFn>(kSlotWriteSettingInt)("Probe", key.c_str(), i);
    int value = -1;
    Slot<HostReadSettingIntFn>(kSlotReadSettingInt)("Probe", key.c_str(),
                                                    &value);
    Slot<HostListAppendRowFn>(kSlotListAppendRow)(window, list, 12);
    int rows = Slot<HostListRowCountFn>(kSlotListRowCount)(window, list);
    Slot<HostListSetCellFn>(kSlotListSetCell)(window, list, rows - 1, 0,
                                              key.c_str());
    int handle = Slot<HostPlaySoundFn>(kSlotPlaySound)("ATTN.WAV");
    Slot<HostQuerySoundFn>(kSlotQuerySound)(handle);
    Slot<HostAlertFn>(kSlotAlert)(key.c_str());
  }
}

void JoinWorkers() {
  for (auto& t : g_workers) t.join();
  g_workers.clear();
}

void StopWorkers() {
  g_stop = true;
  for (auto& t : g_workers) t.join();
  g_workers.clear();
  g_stop = false;
}

void TALVIX_CALL Empty() {}
void TALVIX_CALL CleanUp() { Say("cleanup"); }
void TALVIX_CALL Idle(float dt) {
  ++g_idleCalls;
  g_idleSeconds += dt;
}
void TALVIX_CALL Key(int key, int modifier) {
  if (key == 1) {
    for (int i = 0; i < 4; ++i) g_workers.emplace_back(Work, i);
  } else if (key == 2) {
    JoinWorkers();
  } else if (key == 3) {
    char text[64];
    std::snprintf(text, sizeof text, "idle %d %.3f", g_idleCalls,
                  g_idleSeconds);
    Say(text);
  }
  Say("key " + std::to_string(key) + " " + std::to_string(modifier));
}
void TALVIX_CALL Window(int sig, int window, int control, int event,
                        int extra) {
  Say("event " + std::to_string(sig) + " " +
      FourCCText(static_cast<std::uint32_t>(window)) + " " +
      FourCCText(static_cast<std::uint32_t>(control)) + " " +
      FourCCText(static_cast<std::uint32_t>(event)) + " " +
      std::to_string(extra));
  // The menu item opens the example window.
  if (control == static_cast<int>(FourCC("prob")))
    Slot<HostCreateWindowFn>(kSlotCreateWindow)(
        g_signature, static_cast<int>(FourCC("txEX")), "TXEXAMPLE.WIN");
}
int TALVIX_CALL MenuSetUp() {
  Slot<HostAddMenuFn>(kSlotAddMenu)(static_cast<int>(kMenuBar),
                                    static_cast<int>(FourCC("prob")), "Probe");
  return Slot<HostAddMenuItemFn>(kSlotAddMenuItem)(
      static_cast<int>(FourCC("prob")), static_cast<int>(FourCC("go__")), "Go");
}

}  // namespace

PROBE_EXPORT int DLLGetSDKVersion() { return kSdkVersion; }
PROBE_EXPORT int DLLGetReferenceNumber() { return g_reference; }
PROBE_EXPORT int DLLInitPrivate(HostServicesTable* table, int reference) {
  std::memcpy(&g_table, table, sizeof g_table);
  g_reference = reference;
  return reference;
}
PROBE_EXPORT int DLLInit(CallbackRecord* callbacks, AboutRecord* about) {
  std::snprintf(about->text[0], sizeof about->text[0], "Probe");
  about->number = ++g_inits;
  callbacks->slot[kCallbackEmpty] = reinterpret_cast<void*>(&Empty);
  callbacks->slot[kCallbackCleanUp] = reinterpret_cast<void*>(&CleanUp);
  callbacks->slot[kCallbackIdle] = reinterpret_cast<void*>(&Idle);
  callbacks->slot[kCallbackKey] = reinterpret_cast<void*>(&Key);
  callbacks->slot[kCallbackWindow] = reinterpret_cast<void*>(&Window);
  callbacks->slot[kCallbackMenuSetUp] = reinterpret_cast<void*>(&MenuSetUp);
  g_signature = Slot<HostSignatureFn>(kSlotSignature)(g_reference);
  return 1;
}
PROBE_EXPORT void DLLKill() { StopWorkers(); }
