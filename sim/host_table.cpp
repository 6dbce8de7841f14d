#include "sim/host_table.h"

#include <atomic>
#include <chrono>

#include "sim/geometry.h"
#include "sim/host_model.h"

using namespace talvix;

namespace sim {
namespace {

std::atomic<HostModel*> g_active{nullptr};

// Counts the time from its making to its end as the model's own.
class SlotTimer {
 public:
  explicit SlotTimer(HostModel& model)
      : model_(model), start_(std::chrono::steady_clock::now()) {}
  ~SlotTimer() {
    model_.countSlot(std::chrono::duration_cast<std::chrono::nanoseconds>(
                         std::chrono::steady_clock::now() - start_)
                         .count());
  }

 private:
  HostModel& model_;
  std::chrono::steady_clock::time_point start_;
};

// One function per slot: forwards to the active model, or yields R() when
// no model is active, and counts its time.
#define SIM_SLOT(name, R, params, call) \
  R TALVIX_CALL name##Slot params {     \
    using Result = R;                   \
    HostModel* m = g_active.load();     \
    if (m == nullptr) return Result();  \
    SlotTimer timer(*m);                \
    return m->call;                     \
  }

SIM_SLOT(Signature, int, (int r), signature(r))
SIM_SLOT(CreateObject, HostObject*, (const char* f, int r), createObject(f, r))
SIM_SLOT(DestroyObject, void, (HostObject * o), destroyObject(o))
SIM_SLOT(SendMessage, void, (HostMessage * m_), sendMessage(m_))
SIM_SLOT(UserAircraft, void, (AircraftRef * o), userAircraft(o))
SIM_SLOT(UserPresent, int, (), userAircraftPresent())
SIM_SLOT(GetPosition, void, (const AircraftRef* r, HostPosition* o),
         getPosition(r, o))
SIM_SLOT(SetPosition, void, (const AircraftRef* r, const HostPosition* p),
         setPosition(r, p))
SIM_SLOT(GetOrientation, void, (const AircraftRef* r, HostVector* o),
         getOrientation(r, o))
SIM_SLOT(SetOrientation, void, (const AircraftRef* r, const HostVector* v),
         setOrientation(r, v))
SIM_SLOT(SetVelocity, void, (const AircraftRef* r, const HostVector* v),
         setVelocity(r, v))
SIM_SLOT(GetSpeed, float, (const AircraftRef* r), getSpeed(r))
SIM_SLOT(SetSpeed, void, (const AircraftRef* r, float s), setSpeed(r, s))
SIM_SLOT(SetNames, void, (const AircraftRef* r, const char* a, const char* b),
         setNames(r, a, b))
SIM_SLOT(GetRadio, float, (const AircraftRef* r, int k, int u, int e),
         getRadio(r, k, u, e))
SIM_SLOT(SetRadio, void, (const AircraftRef* r, int k, int u, float v),
         setRadio(r, k, u, v))
SIM_SLOT(Distance, float, (const HostPosition* a, const HostPosition* b),
         distance(a, b))

SIM_SLOT(CreateWindow, int, (int s, int w, const char* f),
         createWindow(s, w, f))
SIM_SLOT(CloseWindow, void, (int w), closeWindow(w))
SIM_SLOT(IsWindowOpen, int, (int w), isWindowOpen(w))
SIM_SLOT(RaiseWindow, void, (int w), raiseWindow(w))
SIM_SLOT(MinimiseWindow, void, (int w), minimiseWindow(w))
SIM_SLOT(AddMenu, int, (int b, int m_, const char* t), addMenu(b, m_, t))
SIM_SLOT(AddMenuItem, int, (int m_, int i, const char* t),
         addMenuItem(m_, i, t))
SIM_SLOT(GetControlValue, int, (int w, int c), getControlValue(w, c))
SIM_SLOT(SetControlValue, void, (int w, int c, int v), setControlValue(w, c, v))
SIM_SLOT(GetButtonState, int, (int w, int c), getButtonState(w, c))
SIM_SLOT(SetButtonState, void, (int w, int c, int v), setButtonState(w, c, v))
SIM_SLOT(AddPopupItem, void, (int w, int c, int i, const char* t),
         addPopupItem(w, c, i, t))
SIM_SLOT(RemovePopupItem, void, (int w, int c, int i), removePopupItem(w, c, i))
SIM_SLOT(SelectPopupItem, void, (int w, int c, int i), selectPopupItem(w, c, i))
SIM_SLOT(GetPopupSelection, int, (int w, int c, char* b, int n),
         getPopupSelection(w, c, b, n))
SIM_SLOT(SetText, void, (int w, int c, const char* t), setText(w, c, t))
SIM_SLOT(GetText, void, (int w, int c, char* b, int n), getText(w, c, b, n))
SIM_SLOT(ClearText, void, (int w, int c), clearText(w, c))
SIM_SLOT(SetPassword, void, (int w, int c, int on),
         setPasswordDisplay(w, c, on))
SIM_SLOT(ListClearColumns, void, (int w, int c), listClearColumns(w, c))
SIM_SLOT(ListAddColumn, void, (int w, int c, const char* t, int width),
         listAddColumn(w, c, t, width))
SIM_SLOT(ListClearRows, void, (int w, int c), listClearRows(w, c))
SIM_SLOT(ListAppendRow, void, (int w, int c, int h), listAppendRow(w, c, h))
SIM_SLOT(ListRowCount, int, (int w, int c), listRowCount(w, c))
SIM_SLOT(ListDeleteRow, void, (int w, int c, int r), listDeleteRow(w, c, r))
SIM_SLOT(ListSetCell, void, (int w, int c, int r, int k, const char* t),
         listSetCell(w, c, r, k, t))
SIM_SLOT(ListGetCell, void, (int w, int c, int r, int k, char* b, int n),
         listGetCell(w, c, r, k, b, n))
SIM_SLOT(ListSelectedRow, int, (int w, int c), listSelectedRow(w, c))
SIM_SLOT(ListSelectRow, void, (int w, int c, int r), listSelectRow(w, c, r))
SIM_SLOT(SetPicture, void, (int w, int c, const char* f), setPicture(w, c, f))
SIM_SLOT(ScrollToRow, void, (int w, int c, int r), scrollToRow(w, c, r))
SIM_SLOT(SetFocus, void, (int w, int c), setFocus(w, c))
SIM_SLOT(Redraw, void, (int w, int c), redraw(w, c))

SIM_SLOT(TimedMessage, void, (const char* t, float s), timedMessage(t, s))
SIM_SLOT(Alert, void, (const char* t), alert(t))
SIM_SLOT(PlaySound, int, (const char* f), playSound(f))
SIM_SLOT(QuerySound, int, (int h), querySound(h))
SIM_SLOT(HelpToggleA, void, (), helpToggleA())
SIM_SLOT(HelpToggleB, void, (), helpToggleB())

SIM_SLOT(ReadSettingInt, void, (const char* s, const char* k, int* v),
         readSettingInt(s, k, v))
SIM_SLOT(ReadSettingText, void, (const char* s, const char* k, char* b, int n),
         readSettingText(s, k, b, n))
SIM_SLOT(WriteSettingInt, void, (const char* s, const char* k, int v),
         writeSettingInt(s, k, v))
SIM_SLOT(WriteSettingText, void, (const char* s, const char* k, const char* v),
         writeSettingText(s, k, v))

SIM_SLOT(TimeOfDay, void, (talvix::TimeOfDay * o), timeOfDay(o))
SIM_SLOT(GetFlightPlan, void*, (), getFlightPlan())
SIM_SLOT(ReleaseFlightPlan, void, (void* n), releaseFlightPlan(n))
SIM_SLOT(DepartureAirport, void, (AirportRecord * o), departureAirport(o))
SIM_SLOT(DestinationAirport, void, (AirportRecord * o), destinationAirport(o))
SIM_SLOT(NearestAirport, void,
         (const HostPosition* p, NearestAirportRecord* o, std::int32_t* u),
         nearestAirport(p, o, u))

SIM_SLOT(LoadMetarFile, void, (const char* p), loadMetarFile(p))
SIM_SLOT(GetWeather, void, (WeatherRecord * o), getWeather(o))
SIM_SLOT(SetWeather, void, (const WeatherRecord* r), setWeather(r))
SIM_SLOT(GetWinds, void, (WindsAloftRecord * o), getWinds(o))
SIM_SLOT(SetWinds, void, (const WindsAloftRecord* r), setWinds(r))

SIM_SLOT(LoadLibrary, void*, (const char* n), loadLibrary(n))
SIM_SLOT(FindExport, void*, (void* l, const char* n), findExport(l, n))
SIM_SLOT(ReleaseLibrary, void, (void* l), releaseLibrary(l))

#undef SIM_SLOT

float TALVIX_CALL Normalise360Slot(float d) { return Normalise360(d); }
float TALVIX_CALL Normalise180Slot(float d) { return Normalise180(d); }

// Fn is the contract's type, so a slot function of another shape does not
// compile.
template <typename Fn>
void Put(HostServicesTable* table, int slot, Fn fn) {
  table->slot[slot] = reinterpret_cast<void*>(fn);
}

}  // namespace

void SetActiveModel(HostModel* model) { g_active.store(model); }
HostModel* ActiveModel() { return g_active.load(); }

HostServicesTable BuildHostTable() {
  HostServicesTable t{};
  Put<HostSignatureFn>(&t, kSlotSignature, &SignatureSlot);
  Put<HostCreateObjectFn>(&t, kSlotCreateObject, &CreateObjectSlot);
  Put<HostDestroyObjectFn>(&t, kSlotDestroyObject, &DestroyObjectSlot);
  Put<HostSendMessageFn>(&t, kSlotSendMessage, &SendMessageSlot);
  Put<HostUserAircraftFn>(&t, kSlotUserAircraft, &UserAircraftSlot);
  Put<HostUserAircraftPresentFn>(&t, kSlotUserAircraftPresent,
                                 &UserPresentSlot);
  Put<HostGetPositionFn>(&t, kSlotGetPosition, &GetPositionSlot);
  Put<HostSetPositionFn>(&t, kSlotSetPosition, &SetPositionSlot);
  Put<HostGetVectorFn>(&t, kSlotGetOrientation, &GetOrientationSlot);
  Put<HostSetVectorFn>(&t, kSlotSetOrientation, &SetOrientationSlot);
  Put<HostSetVectorFn>(&t, kSlotSetVelocity, &SetVelocitySlot);
  Put<HostGetSpeedFn>(&t, kSlotGetSpeed, &GetSpeedSlot);
  Put<HostSetSpeedFn>(&t, kSlotSetSpeed, &SetSpeedSlot);
  Put<HostSetNamesFn>(&t, kSlotSetNames, &SetNamesSlot);
  Put<HostGetRadioFn>(&t, kSlotGetRadio, &GetRadioSlot);
  Put<HostSetRadioFn>(&t, kSlotSetRadio, &SetRadioSlot);
  Put<HostNormaliseFn>(&t, kSlotNormalise360, &Normalise360Slot);
  Put<HostNormaliseFn>(&t, kSlotNormalise180, &Normalise180Slot);
  Put<HostDistanceFn>(&t, kSlotDistance, &DistanceSlot);

  Put<HostCreateWindowFn>(&t, kSlotCreateWindow, &CreateWindowSlot);
  Put<HostWindowFn>(&t, kSlotCloseWindow, &CloseWindowSlot);
  Put<HostIsWindowOpenFn>(&t, kSlotIsWindowOpen, &IsWindowOpenSlot);
  Put<HostWindowFn>(&t, kSlotRaiseWindow, &RaiseWindowSlot);
  Put<HostWindowFn>(&t, kSlotMinimiseWindow, &MinimiseWindowSlot);
  Put<HostAddMenuFn>(&t, kSlotAddMenu, &AddMenuSlot);
  Put<HostAddMenuItemFn>(&t, kSlotAddMenuItem, &AddMenuItemSlot);
  Put<HostGetIntFn>(&t, kSlotGetControlValue, &GetControlValueSlot);
  Put<HostSetIntFn>(&t, kSlotSetControlValue, &SetControlValueSlot);
  Put<HostGetIntFn>(&t, kSlotGetButtonState, &GetButtonStateSlot);
  Put<HostSetIntFn>(&t, kSlotSetButtonState, &SetButtonStateSlot);
  Put<HostAddPopupItemFn>(&t, kSlotAddPopupItem, &AddPopupItemSlot);
  Put<HostPopupIdFn>(&t, kSlotRemovePopupItem, &RemovePopupItemSlot);
  Put<HostPopupIdFn>(&t, kSlotSelectPopupItem, &SelectPopupItemSlot);
  Put<HostGetPopupSelectionFn>(&t, kSlotGetPopupSelection,
                               &GetPopupSelectionSlot);
  Put<HostSetTextFn>(&t, kSlotSetText, &SetTextSlot);
  Put<HostGetTextFn>(&t, kSlotGetText, &GetTextSlot);
  Put<HostControlFn>(&t, kSlotClearText, &ClearTextSlot);
  Put<HostSetIntFn>(&t, kSlotSetPasswordDisplay, &SetPasswordSlot);
  Put<HostControlFn>(&t, kSlotListClearColumns, &ListClearColumnsSlot);
  Put<HostListAddColumnFn>(&t, kSlotListAddColumn, &ListAddColumnSlot);
  Put<HostControlFn>(&t, kSlotListClearRows, &ListClearRowsSlot);
  Put<HostListAppendRowFn>(&t, kSlotListAppendRow, &ListAppendRowSlot);
  Put<HostListRowCountFn>(&t, kSlotListRowCount, &ListRowCountSlot);
  Put<HostListRowFn>(&t, kSlotListDeleteRow, &ListDeleteRowSlot);
  Put<HostListSetCellFn>(&t, kSlotListSetCell, &ListSetCellSlot);
  Put<HostListGetCellFn>(&t, kSlotListGetCell, &ListGetCellSlot);
  Put<HostListRowCountFn>(&t, kSlotListSelectedRow, &ListSelectedRowSlot);
  Put<HostListRowFn>(&t, kSlotListSelectRow, &ListSelectRowSlot);
  Put<HostSetPictureFn>(&t, kSlotSetPicture, &SetPictureSlot);
  Put<HostListRowFn>(&t, kSlotScrollToRow, &ScrollToRowSlot);
  Put<HostControlFn>(&t, kSlotSetFocus, &SetFocusSlot);
  Put<HostControlFn>(&t, kSlotRedraw, &RedrawSlot);

  Put<HostTimedMessageFn>(&t, kSlotTimedMessage, &TimedMessageSlot);
  Put<HostAlertFn>(&t, kSlotAlert, &AlertSlot);
  Put<HostPlaySoundFn>(&t, kSlotPlaySound, &PlaySoundSlot);
  Put<HostQuerySoundFn>(&t, kSlotQuerySound, &QuerySoundSlot);
  Put<HostVoidFn>(&t, kSlotHelpToggleA, &HelpToggleASlot);
  Put<HostVoidFn>(&t, kSlotHelpToggleB, &HelpToggleBSlot);

  Put<HostReadSettingIntFn>(&t, kSlotReadSettingInt, &ReadSettingIntSlot);
  Put<HostReadSettingTextFn>(&t, kSlotReadSettingText, &ReadSettingTextSlot);
  Put<HostWriteSettingIntFn>(&t, kSlotWriteSettingInt, &WriteSettingIntSlot);
  Put<HostWriteSettingTextFn>(&t, kSlotWriteSettingText, &WriteSettingTextSlot);

  Put<HostTimeOfDayFn>(&t, kSlotTimeOfDay, &TimeOfDaySlot);
  Put<HostGetFlightPlanFn>(&t, kSlotGetFlightPlan, &GetFlightPlanSlot);
  Put<HostReleaseFlightPlanFn>(&t, kSlotReleaseFlightPlan,
                               &ReleaseFlightPlanSlot);
  Put<HostAirportFn>(&t, kSlotDepartureAirport, &DepartureAirportSlot);
  Put<HostAirportFn>(&t, kSlotDestinationAirport, &DestinationAirportSlot);
  Put<HostNearestAirportFn>(&t, kSlotNearestAirport, &NearestAirportSlot);

  Put<HostLoadMetarFileFn>(&t, kSlotLoadMetarFile, &LoadMetarFileSlot);
  Put<HostGetWeatherFn>(&t, kSlotGetWeather, &GetWeatherSlot);
  Put<HostSetWeatherFn>(&t, kSlotSetWeather, &SetWeatherSlot);
  Put<HostGetWindsFn>(&t, kSlotWindsAloftGet, &GetWindsSlot);
  Put<HostSetWindsFn>(&t, kSlotWindsAloftSet, &SetWindsSlot);

  Put<HostLoadLibraryFn>(&t, kSlotLoadLibrary, &LoadLibrarySlot);
  Put<HostFindExportFn>(&t, kSlotFindExport, &FindExportSlot);
  Put<HostReleaseLibraryFn>(&t, kSlotReleaseLibrary, &ReleaseLibrarySlot);
  return t;
}

}  // namespace sim
