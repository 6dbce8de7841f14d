// The five entry points the simulator calls by name. Nothing else of the
// plug-in is exported.
#include "core/callbacks.h"
#include "core/host.h"
#include "core/host_services.h"
#include "core/text.h"
#include "net/session.h"
#include "ui/shared_values.h"

#if defined(_WIN32)
#define TALVIX_EXPORT extern "C"
#else
#define TALVIX_EXPORT extern "C" __attribute__((visibility("default")))
#endif

namespace talvix {
namespace {

void FillAbout(AboutRecord* about) {
  if (about == nullptr) return;
  CopyText(about->text[0], "Talvix for Fly! II v3.1 BETA");
  CopyText(about->text[1], "none");
  CopyText(about->text[2], "Talvix developers");
  CopyText(about->text[3], "3.1 Beta 31 may 2004");
  CopyText(about->text[4], "talvix@localhost");
  about->number = 310;
}

template <typename Fn>
void Store(CallbackRecord* record, int slot, Fn fn) {
  record->slot[slot] = reinterpret_cast<void*>(fn);
}

void RegisterCallbacks(CallbackRecord* record) {
  if (record == nullptr) return;
  Store(record, kCallbackEmpty, &EmptyCallbackFn);
  Store(record, kCallbackCleanUp, &CleanUpCallbackFn);
  Store(record, kCallbackIdle, &IdleCallbackFn);
  Store(record, kCallbackKey, &KeyCallbackFn);
  Store(record, kCallbackWindow, &WindowEventCallbackFn);
  Store(record, kCallbackMenuSetUp, &MenuSetUpCallbackFn);
}

}  // namespace
}  // namespace talvix

TALVIX_EXPORT int TALVIX_CALL DLLGetSDKVersion() { return talvix::kSdkVersion; }

TALVIX_EXPORT int TALVIX_CALL DLLInitPrivate(talvix::HostServicesTable* table,
                                             int reference) {
  talvix::host::Install(table, reference);
  return reference;
}

TALVIX_EXPORT int TALVIX_CALL DLLGetReferenceNumber() {
  return talvix::host::ReferenceNumber();
}

TALVIX_EXPORT int TALVIX_CALL DLLInit(talvix::CallbackRecord* callbacks,
                                      talvix::AboutRecord* about) {
  try {
    talvix::FillAbout(about);
    talvix::RegisterCallbacks(callbacks);
    talvix::SetPluginSignature(talvix::host::Signature());
    talvix::CreateQueueLocks();
  } catch (...) {
  }
  return 1;
}

// The session goes first: its workers use the locks until they have ended.
TALVIX_EXPORT void TALVIX_CALL DLLKill() {
  try {
    talvix::disconnectFromServer();
    talvix::DeleteQueueLocks();
  } catch (...) {
  }
}
