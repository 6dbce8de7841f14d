// The stand-in simulator's whole state, in memory, and one operation per
// host slot. Every operation takes the model's lock, so the plug-in may call
// from any thread; the lock is never held while the plug-in is called.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/host_services.h"
#include "sim/airport_table.h"
#include "sim/model_types.h"
#include "sim/settings_store.h"

namespace sim {

class SharedLibrary;

// The signature that slot 0 hands out; windows created with it get their
// events with it.
constexpr int kPluginSignature = 0x53494D31;  // 'SIM1'

// Everything the dump shows; copyable for tests.
struct HostState {
  std::map<std::uint32_t, Window> windows;  // open windows only
  std::vector<Menu> menus;
  UserAircraft user;
  std::vector<SimObject> objects;  // live AI objects, oldest first
  std::vector<std::string> failedCreates;
  std::vector<Notice> notices;
  std::vector<std::string> alerts;
  std::vector<Sound> sounds;
  std::vector<LibraryEvent> libraries;
  std::vector<std::string> faults;  // calls the model could not honour
  int helpToggleA = 0;
  int helpToggleB = 0;
  bool keyHelp = true;  // the key help lines: A hides them, B shows them
  int timeHour = 12;
  int timeMinute = 0;
  std::vector<PlanNode> plan;
  std::string departure;               // "" when the plan has none
  std::string destination;             // "" when the plan has none
  std::int32_t airportRecordFlag = 1;  // other values: no airport, though named
  talvix::WeatherRecord weather{};
  WeatherExtras weatherExtras;
  std::vector<std::string> metarFiles;  // every file loaded, in order
  talvix::WindsAloftRecord winds{};
  double hostTime = 0.0;  // sum of the idle calls' seconds
  int nextObjectId = 1;
  int nextSoundHandle = 1;
};

class HostModel {
 public:
  explicit HostModel(std::string rootDir);
  ~HostModel();
  HostModel(const HostModel&) = delete;
  HostModel& operator=(const HostModel&) = delete;

  const std::string& root() const { return root_; }

  // --- for tests and the script: under the lock, never call the plug-in
  HostState snapshot() const;
  template <typename F>
  auto modify(F&& f) {
    std::lock_guard<std::mutex> lock(mutex_);
    return f(state_);
  }
  template <typename F>
  auto read(F&& f) const {
    std::lock_guard<std::mutex> lock(mutex_);
    return f(static_cast<const HostState&>(state_));
  }
  std::map<std::string, std::string> settings(const std::string& section) const;
  void setSetting(const std::string& section, const std::string& key,
                  const std::string& value);
  void advanceTime(double seconds);
  int outstandingFlightPlans() const;
  int openLibraries() const;
  // Adds a line to the airport table (as if it were in airports.txt).
  void addAirport(const Airport& airport);

  // The time spent inside the slots and their number, since the model was
  // made, from every thread: what the plug-in's figures leave out to show
  // its own cost. Each slot adds its own when it returns.
  struct SlotTime {
    std::int64_t nanoseconds = 0;
    std::int64_t calls = 0;
  };
  SlotTime slotTime() const {
    return {slotNanoseconds_.load(std::memory_order_relaxed),
            slotCalls_.load(std::memory_order_relaxed)};
  }
  void countSlot(std::int64_t nanoseconds) {
    slotNanoseconds_.fetch_add(nanoseconds, std::memory_order_relaxed);
    slotCalls_.fetch_add(1, std::memory_order_relaxed);
  }

  // --- the slots
  int signature(int reference);
  talvix::HostObject* createObject(const char* modelFile, int reference);
  void destroyObject(talvix::HostObject* object);
  void sendMessage(talvix::HostMessage* message);
  void userAircraft(talvix::AircraftRef* out);
  int userAircraftPresent();
  void getPosition(const talvix::AircraftRef* ref, talvix::HostPosition* out);
  void setPosition(const talvix::AircraftRef* ref,
                   const talvix::HostPosition* position);
  void getOrientation(const talvix::AircraftRef* ref, talvix::HostVector* out);
  void setOrientation(const talvix::AircraftRef* ref,
                      const talvix::HostVector* value);
  void setVelocity(const talvix::AircraftRef* ref,
                   const talvix::HostVector* value);
  float getSpeed(const talvix::AircraftRef* ref);
  void setSpeed(const talvix::AircraftRef* ref, float fps);
  void setNames(const talvix::AircraftRef* ref, const char* name,
                const char* label);
  float getRadio(const talvix::AircraftRef* ref, int kind, int unit, int extra);
  void setRadio(const talvix::AircraftRef* ref, int kind, int unit,
                float value);
  float distance(const talvix::HostPosition* from,
                 const talvix::HostPosition* to);

  int createWindow(int signature, int window, const char* file);
  void closeWindow(int window);
  int isWindowOpen(int window);
  void raiseWindow(int window);
  void minimiseWindow(int window);
  int addMenu(int menuBar, int menu, const char* title);
  int addMenuItem(int menu, int item, const char* text);
  int getControlValue(int window, int control);
  void setControlValue(int window, int control, int value);
  int getButtonState(int window, int control);
  void setButtonState(int window, int control, int state);
  void addPopupItem(int window, int control, int id, const char* text);
  void removePopupItem(int window, int control, int id);
  void selectPopupItem(int window, int control, int id);
  int getPopupSelection(int window, int control, char* buffer, int size);
  void setText(int window, int control, const char* text);
  void getText(int window, int control, char* buffer, int size);
  void clearText(int window, int control);
  void setPasswordDisplay(int window, int control, int on);
  void listClearColumns(int window, int control);
  void listAddColumn(int window, int control, const char* title, int width);
  void listClearRows(int window, int control);
  void listAppendRow(int window, int control, int heightCode);
  int listRowCount(int window, int control);
  void listDeleteRow(int window, int control, int row);
  void listSetCell(int window, int control, int row, int column,
                   const char* text);
  void listGetCell(int window, int control, int row, int column, char* buffer,
                   int size);
  int listSelectedRow(int window, int control);
  void listSelectRow(int window, int control, int row);
  void setPicture(int window, int control, const char* file);
  void scrollToRow(int window, int control, int row);
  void setFocus(int window, int control);
  void redraw(int window, int control);

  void timedMessage(const char* text, float seconds);
  void alert(const char* text);
  int playSound(const char* file);
  int querySound(int handle);
  void helpToggleA();
  void helpToggleB();

  void readSettingInt(const char* section, const char* key, int* value);
  void readSettingText(const char* section, const char* key, char* buffer,
                       int size);
  void writeSettingInt(const char* section, const char* key, int value);
  void writeSettingText(const char* section, const char* key,
                        const char* value);

  void timeOfDay(talvix::TimeOfDay* out);
  void* getFlightPlan();
  void releaseFlightPlan(void* firstNode);
  void departureAirport(talvix::AirportRecord* out);
  void destinationAirport(talvix::AirportRecord* out);
  void nearestAirport(const talvix::HostPosition* position,
                      talvix::NearestAirportRecord* out, std::int32_t* unused);

  void loadMetarFile(const char* path);
  void getWeather(talvix::WeatherRecord* out);
  void setWeather(const talvix::WeatherRecord* record);
  void getWinds(talvix::WindsAloftRecord* out);
  void setWinds(const talvix::WindsAloftRecord* record);

  void* loadLibrary(const char* name);
  void* findExport(void* library, const char* name);
  void releaseLibrary(void* library);

 private:
  void fillAirportRecord(talvix::AirportRecord* out,
                         std::string HostState::*airport);
  // Under the lock. Null when the window is not open; a missing control of
  // an open window or one of another kind is a fault of the caller.
  Control* control(int window, int control, const char* op);
  Control* control(int window, int control, ControlKind kind, const char* op);
  SimObject* object(const talvix::AircraftRef* ref, const char* op);
  std::vector<SimObject>::iterator objectById(int id);
  bool isUser(const talvix::AircraftRef* ref) const;
  void fault(const std::string& what);

  // How many items of each popup carry each id, by window and control,
  // built on first use and dropped with the window: a removal whose id is
  // unique finds its item from the end, where the newest items are, and a
  // removal with duplicates still takes the first from the front.
  std::unordered_map<int, int>& popupIds(int window, int control,
                                         const Control& popup);
  void forgetPopupIds(int window);

  std::atomic<std::int64_t> slotNanoseconds_{0};
  std::atomic<std::int64_t> slotCalls_{0};
  std::map<std::pair<int, int>, std::unordered_map<int, int>> popupIds_;
  std::string root_;
  mutable std::mutex mutex_;
  HostState state_;
  SettingsStore settings_;
  std::vector<Airport> airports_;
  // The id of every live object by the record the plug-in holds.
  std::unordered_map<const talvix::HostObject*, int> objectIds_;
  std::map<void*, std::vector<std::unique_ptr<unsigned char[]>>> plans_;
  std::map<void*, std::unique_ptr<SharedLibrary>> libraries_;
};

// Copies text into buffer of size bytes, NUL included, cut to fit.
void CopyOut(const std::string& text, char* buffer, int size);

}  // namespace sim
