#include "core/host.h"

#include <cstring>

namespace talvix::host {
namespace {

HostServicesTable g_table{};
int g_reference = 0;

const char kSection[] = "Talvix";

// Calls slot N as a function of type Fn; an empty slot yields R().
template <typename Fn, typename... Args>
auto Call(int slot, Args... args) -> decltype(Fn()(args...)) {
  using Result = decltype(Fn()(args...));
  void* raw = g_table.slot[slot];
  if (raw == nullptr) return Result();
  Fn fn = reinterpret_cast<Fn>(raw);
  return fn(args...);
}

int I(std::uint32_t code) { return static_cast<int>(code); }

}  // namespace

void Install(const HostServicesTable* table, int reference) {
  if (table != nullptr) std::memcpy(&g_table, table, sizeof g_table);
  g_reference = reference;
}
int ReferenceNumber() { return g_reference; }

int Signature() { return Call<HostSignatureFn>(kSlotSignature, g_reference); }

HostObject* CreateObject(const char* modelFile) {
  return Call<HostCreateObjectFn>(kSlotCreateObject, modelFile, g_reference);
}
void DestroyObject(HostObject* object) {
  Call<HostDestroyObjectFn>(kSlotDestroyObject, object);
}
void SendHostMessage(HostMessage* message) {
  Call<HostSendMessageFn>(kSlotSendMessage, message);
}
void UserAircraft(AircraftRef* out) {
  Call<HostUserAircraftFn>(kSlotUserAircraft, out);
}
bool UserAircraftPresent() {
  return Call<HostUserAircraftPresentFn>(kSlotUserAircraftPresent) != 0;
}
void GetPosition(const AircraftRef& ref, HostPosition* out) {
  Call<HostGetPositionFn>(kSlotGetPosition, &ref, out);
}
void SetPosition(const AircraftRef& ref, const HostPosition& position) {
  Call<HostSetPositionFn>(kSlotSetPosition, &ref, &position);
}
void GetOrientation(const AircraftRef& ref, HostVector* out) {
  Call<HostGetVectorFn>(kSlotGetOrientation, &ref, out);
}
void SetOrientation(const AircraftRef& ref, const HostVector& radians) {
  Call<HostSetVectorFn>(kSlotSetOrientation, &ref, &radians);
}
void SetVelocity(const AircraftRef& ref, const HostVector& feetPerSecond) {
  Call<HostSetVectorFn>(kSlotSetVelocity, &ref, &feetPerSecond);
}
float GetSpeed(const AircraftRef& ref) {
  return Call<HostGetSpeedFn>(kSlotGetSpeed, &ref);
}
void SetSpeed(const AircraftRef& ref, float feetPerSecond) {
  Call<HostSetSpeedFn>(kSlotSetSpeed, &ref, feetPerSecond);
}
void SetNames(const AircraftRef& ref, const char* name, const char* label) {
  Call<HostSetNamesFn>(kSlotSetNames, &ref, name, label);
}
float GetRadio(const AircraftRef& ref, int kind, int unit, int extra) {
  return Call<HostGetRadioFn>(kSlotGetRadio, &ref, kind, unit, extra);
}
void SetRadio(const AircraftRef& ref, int kind, int unit, float value) {
  Call<HostSetRadioFn>(kSlotSetRadio, &ref, kind, unit, value);
}
float Normalise360(float degrees) {
  return Call<HostNormaliseFn>(kSlotNormalise360, degrees);
}
float Normalise180(float degrees) {
  return Call<HostNormaliseFn>(kSlotNormalise180, degrees);
}
float DistanceFeet(const HostPosition& from, const HostPosition& to) {
  return Call<HostDistanceFn>(kSlotDistance, &from, &to);
}

int CreateHostWindow(int signature, std::uint32_t window, const char* file) {
  return Call<HostCreateWindowFn>(kSlotCreateWindow, signature, I(window),
                                  file);
}
void CloseWindow(std::uint32_t window) {
  Call<HostWindowFn>(kSlotCloseWindow, I(window));
}
bool IsWindowOpen(std::uint32_t window) {
  return Call<HostIsWindowOpenFn>(kSlotIsWindowOpen, I(window)) != 0;
}
void RaiseWindow(std::uint32_t window) {
  Call<HostWindowFn>(kSlotRaiseWindow, I(window));
}
void MinimiseWindow(std::uint32_t window) {
  Call<HostWindowFn>(kSlotMinimiseWindow, I(window));
}
int AddMenu(std::uint32_t menuBar, std::uint32_t menu, const char* title) {
  return Call<HostAddMenuFn>(kSlotAddMenu, I(menuBar), I(menu), title);
}
int AddMenuItem(std::uint32_t menu, std::uint32_t item, const char* text) {
  return Call<HostAddMenuItemFn>(kSlotAddMenuItem, I(menu), I(item), text);
}
int GetControlValue(std::uint32_t window, std::uint32_t control) {
  return Call<HostGetIntFn>(kSlotGetControlValue, I(window), I(control));
}
void SetControlValue(std::uint32_t window, std::uint32_t control, int value) {
  Call<HostSetIntFn>(kSlotSetControlValue, I(window), I(control), value);
}
int GetButtonState(std::uint32_t window, std::uint32_t control) {
  return Call<HostGetIntFn>(kSlotGetButtonState, I(window), I(control));
}
void SetButtonState(std::uint32_t window, std::uint32_t control, int state) {
  Call<HostSetIntFn>(kSlotSetButtonState, I(window), I(control), state);
}
void SetText(std::uint32_t window, std::uint32_t control, const char* text) {
  Call<HostSetTextFn>(kSlotSetText, I(window), I(control), text);
}
void GetText(std::uint32_t window, std::uint32_t control, char* buffer,
             int size) {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  Call<HostGetTextFn>(kSlotGetText, I(window), I(control), buffer, size);
  if (buffer != nullptr && size > 0) buffer[size - 1] = '\0';
}
void ClearText(std::uint32_t window, std::uint32_t control) {
  Call<HostControlFn>(kSlotClearText, I(window), I(control));
}
void SetPasswordDisplay(std::uint32_t window, std::uint32_t control, int on) {
  Call<HostSetIntFn>(kSlotSetPasswordDisplay, I(window), I(control), on);
}
void AddPopupItem(std::uint32_t window, std::uint32_t control, int id,
                  const char* text) {
  Call<HostAddPopupItemFn>(kSlotAddPopupItem, I(window), I(control), id, text);
}
void RemovePopupItem(std::uint32_t window, std::uint32_t control, int id) {
  Call<HostPopupIdFn>(kSlotRemovePopupItem, I(window), I(control), id);
}
void SelectPopupItem(std::uint32_t window, std::uint32_t control, int id) {
  Call<HostPopupIdFn>(kSlotSelectPopupItem, I(window), I(control), id);
}
int GetPopupSelection(std::uint32_t window, std::uint32_t control,
                      char* buffer, int size) {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  int id = Call<HostGetPopupSelectionFn>(kSlotGetPopupSelection, I(window),
                                         I(control), buffer, size);
  if (buffer != nullptr && size > 0) buffer[size - 1] = '\0';
  return id;
}
void ListClearColumns(std::uint32_t window, std::uint32_t control) {
  Call<HostControlFn>(kSlotListClearColumns, I(window), I(control));
}
void ListAddColumn(std::uint32_t window, std::uint32_t control,
                   const char* title, int width) {
  Call<HostListAddColumnFn>(kSlotListAddColumn, I(window), I(control), title,
                            width);
}
void ListClearRows(std::uint32_t window, std::uint32_t control) {
  Call<HostControlFn>(kSlotListClearRows, I(window), I(control));
}
void ListAppendRow(std::uint32_t window, std::uint32_t control,
                   int heightCode) {
  Call<HostListAppendRowFn>(kSlotListAppendRow, I(window), I(control),
                            heightCode);
}
int ListRowCount(std::uint32_t window, std::uint32_t control) {
  return Call<HostListRowCountFn>(kSlotListRowCount, I(window), I(control));
}
void ListDeleteRow(std::uint32_t window, std::uint32_t control, int row) {
  Call<HostListRowFn>(kSlotListDeleteRow, I(window), I(control), row);
}
void ListSetCell(std::uint32_t window, std::uint32_t control, int row,
                 int column, const char* text) {
  Call<HostListSetCellFn>(kSlotListSetCell, I(window), I(control), row, column,
                          text);
}
void ListGetCell(std::uint32_t window, std::uint32_t control, int row,
                 int column, char* buffer, int size) {
  if (buffer != nullptr && size > 0) buffer[0] = '\0';
  Call<HostListGetCellFn>(kSlotListGetCell, I(window), I(control), row, column,
                          buffer, size);
  if (buffer != nullptr && size > 0) buffer[size - 1] = '\0';
}
int ListSelectedRow(std::uint32_t window, std::uint32_t control) {
  if (g_table.slot[kSlotListSelectedRow] == nullptr) return -1;
  return Call<HostListRowCountFn>(kSlotListSelectedRow, I(window), I(control));
}
void ListSelectRow(std::uint32_t window, std::uint32_t control, int row) {
  Call<HostListRowFn>(kSlotListSelectRow, I(window), I(control), row);
}
void SetPicture(std::uint32_t window, std::uint32_t control,
                const char* file) {
  Call<HostSetPictureFn>(kSlotSetPicture, I(window), I(control), file);
}
void ScrollToRow(std::uint32_t window, std::uint32_t control, int row) {
  Call<HostListRowFn>(kSlotScrollToRow, I(window), I(control), row);
}
void SetFocus(std::uint32_t window, std::uint32_t control) {
  Call<HostControlFn>(kSlotSetFocus, I(window), I(control));
}
void Redraw(std::uint32_t window, std::uint32_t control) {
  Call<HostControlFn>(kSlotRedraw, I(window), I(control));
}

void TimedMessage(const char* text, float seconds) {
  Call<HostTimedMessageFn>(kSlotTimedMessage, text, seconds);
}
void Alert(const char* text) { Call<HostAlertFn>(kSlotAlert, text); }
int PlayHostSound(const char* file) {
  return Call<HostPlaySoundFn>(kSlotPlaySound, file);
}
int QuerySound(int handle) {
  return Call<HostQuerySoundFn>(kSlotQuerySound, handle);
}
void HelpToggleA() { Call<HostVoidFn>(kSlotHelpToggleA); }
void HelpToggleB() { Call<HostVoidFn>(kSlotHelpToggleB); }

void ReadSettingInt(const char* key, int* value) {
  Call<HostReadSettingIntFn>(kSlotReadSettingInt, kSection, key, value);
}
void ReadSettingText(const char* key, char* buffer, int size) {
  Call<HostReadSettingTextFn>(kSlotReadSettingText, kSection, key, buffer,
                              size);
  if (buffer != nullptr && size > 0) buffer[size - 1] = '\0';
}
void WriteSettingInt(const char* key, int value) {
  Call<HostWriteSettingIntFn>(kSlotWriteSettingInt, kSection, key, value);
}
void WriteSettingText(const char* key, const char* value) {
  Call<HostWriteSettingTextFn>(kSlotWriteSettingText, kSection, key, value);
}

void GetTimeOfDay(TimeOfDay* out) {
  Call<HostTimeOfDayFn>(kSlotTimeOfDay, out);
}
void* GetFlightPlan() { return Call<HostGetFlightPlanFn>(kSlotGetFlightPlan); }
void ReleaseFlightPlan(void* firstNode) {
  Call<HostReleaseFlightPlanFn>(kSlotReleaseFlightPlan, firstNode);
}
void DepartureAirport(AirportRecord* out) {
  Call<HostAirportFn>(kSlotDepartureAirport, out);
}
void DestinationAirport(AirportRecord* out) {
  Call<HostAirportFn>(kSlotDestinationAirport, out);
}
void NearestAirport(const HostPosition& position, NearestAirportRecord* out) {
  std::int32_t unused = 0;
  Call<HostNearestAirportFn>(kSlotNearestAirport, &position, out, &unused);
}

void LoadMetarFile(const char* path) {
  Call<HostLoadMetarFileFn>(kSlotLoadMetarFile, path);
}
void GetWeather(WeatherRecord* out) {
  Call<HostGetWeatherFn>(kSlotGetWeather, out);
}
void SetWeather(const WeatherRecord& record) {
  Call<HostSetWeatherFn>(kSlotSetWeather, &record);
}
void GetWindsAloft(WindsAloftRecord* out) {
  Call<HostGetWindsFn>(kSlotWindsAloftGet, out);
}
void SetWindsAloft(const WindsAloftRecord& record) {
  Call<HostSetWindsFn>(kSlotWindsAloftSet, &record);
}

void* LoadHostLibrary(const char* name) {
  return Call<HostLoadLibraryFn>(kSlotLoadLibrary, name);
}
void* FindExport(void* library, const char* name) {
  return Call<HostFindExportFn>(kSlotFindExport, library, name);
}
void ReleaseLibrary(void* library) {
  Call<HostReleaseLibraryFn>(kSlotReleaseLibrary, library);
}

}  // namespace talvix::host
