// One thin call per host slot. The plug-in reaches the simulator only through
// these; each forwards its arguments unchanged and returns the slot's result.
// A slot the host left empty does nothing and returns zero. (Names that
// Windows headers define as macros are avoided.)
#pragma once

#include <cstdint>

#include "core/host_services.h"

namespace talvix::host {

// Keeps a copy of the host's table and its reference number.
void Install(const HostServicesTable* table, int reference);
int ReferenceNumber();

// Start
int Signature();  // slot 0, with the reference number

// Objects
HostObject* CreateObject(const char* modelFile);  // slot 2, with the reference
void DestroyObject(HostObject* object);
void SendHostMessage(HostMessage* message);
void UserAircraft(AircraftRef* out);
bool UserAircraftPresent();
void GetPosition(const AircraftRef& ref, HostPosition* out);
void SetPosition(const AircraftRef& ref, const HostPosition& position);
void GetOrientation(const AircraftRef& ref, HostVector* out);
void SetOrientation(const AircraftRef& ref, const HostVector& radians);
void SetVelocity(const AircraftRef& ref, const HostVector& feetPerSecond);
float GetSpeed(const AircraftRef& ref);
void SetSpeed(const AircraftRef& ref, float feetPerSecond);
void SetNames(const AircraftRef& ref, const char* name, const char* label);
float GetRadio(const AircraftRef& ref, int kind, int unit, int extra);
void SetRadio(const AircraftRef& ref, int kind, int unit, float value);
float Normalise360(float degrees);
float Normalise180(float degrees);
float DistanceFeet(const HostPosition& from, const HostPosition& to);

// Windows, menus and controls
int CreateHostWindow(int signature, std::uint32_t window, const char* file);
void CloseWindow(std::uint32_t window);
bool IsWindowOpen(std::uint32_t window);
void RaiseWindow(std::uint32_t window);
void MinimiseWindow(std::uint32_t window);
int AddMenu(std::uint32_t menuBar, std::uint32_t menu, const char* title);
int AddMenuItem(std::uint32_t menu, std::uint32_t item, const char* text);
int GetControlValue(std::uint32_t window, std::uint32_t control);
void SetControlValue(std::uint32_t window, std::uint32_t control, int value);
int GetButtonState(std::uint32_t window, std::uint32_t control);
void SetButtonState(std::uint32_t window, std::uint32_t control, int state);
void SetText(std::uint32_t window, std::uint32_t control, const char* text);
void GetText(std::uint32_t window, std::uint32_t control, char* buffer,
             int size);
void ClearText(std::uint32_t window, std::uint32_t control);
void SetPasswordDisplay(std::uint32_t window, std::uint32_t control, int on);
void AddPopupItem(std::uint32_t window, std::uint32_t control, int id,
                  const char* text);
void RemovePopupItem(std::uint32_t window, std::uint32_t control, int id);
void SelectPopupItem(std::uint32_t window, std::uint32_t control, int id);
// Returns the selected id (-1 for none) and copies its text when buffer set.
int GetPopupSelection(std::uint32_t window, std::uint32_t control,
                      char* buffer, int size);
void ListClearColumns(std::uint32_t window, std::uint32_t control);
void ListAddColumn(std::uint32_t window, std::uint32_t control,
                   const char* title, int width);
void ListClearRows(std::uint32_t window, std::uint32_t control);
void ListAppendRow(std::uint32_t window, std::uint32_t control,
                   int heightCode);
int ListRowCount(std::uint32_t window, std::uint32_t control);
void ListDeleteRow(std::uint32_t window, std::uint32_t control, int row);
void ListSetCell(std::uint32_t window, std::uint32_t control, int row,
                 int column, const char* text);
void ListGetCell(std::uint32_t window, std::uint32_t control, int row,
                 int column, char* buffer, int size);
int ListSelectedRow(std::uint32_t window, std::uint32_t control);
void ListSelectRow(std::uint32_t window, std::uint32_t control, int row);
void SetPicture(std::uint32_t window, std::uint32_t control, const char* file);
void ScrollToRow(std::uint32_t window, std::uint32_t control, int row);
void SetFocus(std::uint32_t window, std::uint32_t control);
void Redraw(std::uint32_t window, std::uint32_t control);

// Messages and sounds
void TimedMessage(const char* text, float seconds);
void Alert(const char* text);
int PlayHostSound(const char* file);
int QuerySound(int handle);
void HelpToggleA();
void HelpToggleB();

// Settings, always of the section "Talvix"
void ReadSettingInt(const char* key, int* value);
void ReadSettingText(const char* key, char* buffer, int size);
void WriteSettingInt(const char* key, int value);
void WriteSettingText(const char* key, const char* value);

// Simulator data
void GetTimeOfDay(TimeOfDay* out);
void* GetFlightPlan();
void ReleaseFlightPlan(void* firstNode);
void DepartureAirport(AirportRecord* out);
void DestinationAirport(AirportRecord* out);
void NearestAirport(const HostPosition& position, NearestAirportRecord* out);

// Weather
void LoadMetarFile(const char* path);
void GetWeather(WeatherRecord* out);
void SetWeather(const WeatherRecord& record);
void GetWindsAloft(WindsAloftRecord* out);
void SetWindsAloft(const WindsAloftRecord& record);

// Libraries
void* LoadHostLibrary(const char* name);
void* FindExport(void* library, const char* name);
void ReleaseLibrary(void* library);

}  // namespace talvix::host
