// The plain records of the stand-in simulator's model: windows and their
// controls, menus, the user's aircraft, AI objects and what the host shows.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/host_services.h"

namespace sim {

enum class ControlKind {
  kText,   // editable text field
  kLabel,  // text the user cannot edit
  kButton,
  kCheck,  // check box: state 0 or 1
  kPopup,  // items {id, text} and a selection
  kList,   // columns, rows of cells, a selected row
  kPicture,
  kMenu,     // a window menu: items {id, text}
  kControl,  // anything else that only reports events
};

const char* ControlKindName(ControlKind kind);
std::optional<ControlKind> ControlKindFromName(const std::string& name);

struct PopupItem {
  int id = 0;
  std::string text;
};

struct ListColumn {
  std::string title;
  int width = 0;
};

struct Control {
  std::uint32_t code = 0;
  ControlKind kind = ControlKind::kControl;
  std::string text;
  int value = 0;
  int state = 0;
  std::vector<PopupItem> items;
  std::optional<int> selected;  // popup: the id of the selected item
  std::vector<ListColumn> columns;
  std::vector<std::vector<std::string>> rows;
  int selectedRow = -1;
  int scrollRow = -1;
  std::string picture;
  bool password = false;
  int redraws = 0;
  std::string caption;  // what a host shows beside it; "" when none given
  int width = -1;       // columns a host gives it; 0 a whole row, -1 its own
  std::uint32_t enter = 0;  // list: the button that Enter on a row presses

  const PopupItem* findItem(int id) const;
};

struct Window {
  std::uint32_t code = 0;
  std::string file;  // the file name as the plug-in gave it
  std::string title;
  int signature = 0;  // given at creation; window events carry it
  bool minimised = false;
  int raises = 0;
  std::uint32_t focus = 0;
  int focusSets = 0;  // the plug-in's calls that set the focus
  std::vector<Control> controls;

  Control* find(std::uint32_t control);
  const Control* find(std::uint32_t control) const;
};

struct MenuItem {
  std::uint32_t code = 0;
  std::string text;
};

struct Menu {
  std::uint32_t bar = 0;
  std::uint32_t code = 0;
  std::string title;
  std::vector<MenuItem> items;
};

struct Transponder {
  int mode = 0;
  int reply = 0;
  int code = 1200;
  std::uint32_t destination = 0x6B743736;  // 'kt76'
  // Some gauges answer the mode as a 'real' (a double) instead of an int.
  bool modeAnsweredAsReal = false;
  double realMode = 0.0;
};

struct UserAircraft {
  bool present = true;
  talvix::HostPosition position{};   // arc-seconds, longitude 0..360 east
  talvix::HostVector orientation{};  // radians: x pitch, y heading, z bank
  float speed = 0.0f;                // feet per second
  float com1 = 122.8f;               // MHz
  Transponder transponder;
  std::string names[2];  // as the plug-in last set them: name and label
};

struct SimObject {
  int id = 0;
  std::shared_ptr<talvix::HostObject> record;  // what the plug-in holds
  std::string model;                           // the file as given
  std::string names[2];
  talvix::HostPosition position{};
  talvix::HostVector orientation{};
  talvix::HostVector velocity{};
  float speed = 0.0f;
};

struct Notice {
  std::string text;
  float seconds = 0.0f;
  double shownAt = 0.0;  // host time
};

struct Sound {
  std::string file;
  int handle = 0;
  double startedAt = 0.0;  // host time
};

struct LibraryEvent {
  std::string op;  // "load", "find" or "release"
  std::string name;
  bool ok = false;
};

struct PlanNode {
  int kind = 0;
  std::string name;
  float speed = 0.0f;
  float altitude = 0.0f;
};

struct WeatherExtras {  // what the METAR reader keeps beyond the record
  std::string station;
  int visibilityMeters = -1;
  int temperature = -999;
  int dewPoint = -999;
};

}  // namespace sim
