// The contract between the plug-in and its host simulator.
//
// The host hands the plug-in a table of 547 function slots. Each slot the
// plug-in uses is named here with its number and its signature, together with
// the host's record layouts, byte by byte. The plug-in (core/host.h) and the
// stand-in simulator (sim/) both include this header and nothing else of each
// other, so it is the whole of what they agree on.
//
// Slots are pointer-sized: 4 bytes on 32-bit Windows, 8 on x86_64 Linux. The
// records are laid out with explicit offsets and checked by static
// assertions; pointer members only appear where the host says so (the flight
// plan node's link) and are read with memcpy.
#pragma once

#include <cstddef>
#include <cstdint>

#if defined(_WIN32)
#define TALVIX_CALL __cdecl
#else
#define TALVIX_CALL
#endif

namespace talvix {

// ---------------------------------------------------------------------------
// Entry points and the callback record

constexpr int kSdkVersion = 200;
constexpr int kHostSlotCount = 547;

using HostSlot = void*;

struct HostServicesTable {
  HostSlot slot[kHostSlotCount];
};

static_assert(sizeof(HostServicesTable) == kHostSlotCount * sizeof(void*),
              "the host table is exactly 547 slots");
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(HostServicesTable) == 2188, "2188 bytes on 32-bit");
#endif

// The callback record: the host lends an array of pointer-sized slots and the
// plug-in writes six of them.
constexpr int kCallbackRecordSlots = 64;
enum CallbackSlot : int {
  kCallbackEmpty = 0,       // void(void), an empty function
  kCallbackCleanUp = 1,     // void(void), removes every traffic object
  kCallbackIdle = 6,        // void(float elapsedSeconds)
  kCallbackKey = 17,        // void(int keyCode, int modifierCode)
  kCallbackWindow = 46,     // void(int sig, int window, int control, int event, int extra)
  kCallbackMenuSetUp = 51,  // int(void)
};

struct CallbackRecord {
  void* slot[kCallbackRecordSlots];
};
#if defined(_WIN32) && !defined(_WIN64)
static_assert(sizeof(CallbackRecord::slot[0]) == 4 &&
                  offsetof(CallbackRecord, slot) + 51 * sizeof(void*) == 204,
              "4-byte callback slots on 32-bit: menu set-up at byte 204");
#endif

using EmptyCallback = void(TALVIX_CALL*)();
using CleanUpCallback = void(TALVIX_CALL*)();
using IdleCallback = void(TALVIX_CALL*)(float elapsedSeconds);
using KeyCallback = void(TALVIX_CALL*)(int keyCode, int modifierCode);
using WindowEventCallback = void(TALVIX_CALL*)(int signature, int window,
                                               int control, int event,
                                               int extra);
using MenuSetUpCallback = int(TALVIX_CALL*)();

// About record: five 128-byte texts, then one 32-bit integer.
struct AboutRecord {
  char text[5][128];
  std::int32_t number;
};
static_assert(sizeof(AboutRecord) == 644, "five texts and the number");

// The five exported entry points.
using DLLGetSDKVersionFn = int(TALVIX_CALL*)();
using DLLInitPrivateFn = int(TALVIX_CALL*)(HostServicesTable* table,
                                           int reference);
using DLLGetReferenceNumberFn = int(TALVIX_CALL*)();
using DLLInitFn = int(TALVIX_CALL*)(CallbackRecord* callbacks,
                                    AboutRecord* about);
using DLLKillFn = void(TALVIX_CALL*)();

// ---------------------------------------------------------------------------
// Shared value types

// Identifies a simulator object; filled by the host and only passed back.
struct AircraftRef {
  unsigned char bytes[12];
};
static_assert(sizeof(AircraftRef) == 12, "12 opaque bytes");

// A host object starts with its aircraft reference.
struct HostObject {
  AircraftRef ref;
};

// Latitude and longitude in arc-seconds, altitude in feet. The user's
// longitude comes as 0 to 360 degrees east; AI objects take it signed.
struct HostPosition {
  double lat;
  double lon;
  double alt;
};
static_assert(sizeof(HostPosition) == 24, "the 24-byte position record");

// Radians: x pitch, y heading, z bank.
struct HostVector {
  double x;
  double y;
  double z;
};

// The 72-byte message record handed to a simulator subsystem and answered in
// place. Four-character codes are little-endian integers whose most
// significant byte is the first character.
struct HostMessage {
  std::uint32_t id;           // 0: 'getd'
  std::uint32_t destination;  // 4: 'kt76' or 'xpdr'
  std::uint32_t valueType;    // 8: 'int ' when sent, 'real' for a double answer
  unsigned char unused12[8];  // 12
  std::uint32_t receiver;     // 20: set by the host; 0 when nobody took it
  unsigned char value[8];     // 24: int32 in 24..27, or a double in 24..31
  unsigned char unused32[24]; // 32
  std::uint32_t dataTag;      // 56: 'mode' or 'rply'
  unsigned char unused60[12]; // 60
};
static_assert(sizeof(HostMessage) == 72, "the message record is 72 bytes");
static_assert(offsetof(HostMessage, receiver) == 20, "receiver at 20");
static_assert(offsetof(HostMessage, value) == 24, "value at 24");
static_assert(offsetof(HostMessage, dataTag) == 56, "data tag at 56");

// Current weather (96 bytes). Bytes 0..15 belong to the host.
struct CloudLayer {
  std::int32_t present;
  std::int32_t base;
  std::int32_t coverage;
  std::int32_t thickness;
};
struct WeatherRecord {
  unsigned char hostOwned[16];  // 0
  double altimeter;             // 16: inches of mercury
  std::int32_t windSpeed;       // 24
  std::int32_t gustSpeed;       // 28
  std::int32_t windDirection;   // 32: degrees
  std::uint8_t variableWind;    // 36: 1 = variable
  unsigned char pad37[3];       // 37
  std::int32_t stormValue;      // 40: 8 with a thunderstorm
  std::int32_t stormFlag;       // 44: 8192 with a thunderstorm
  CloudLayer cloud[3];          // 48, 64, 80
};
static_assert(sizeof(WeatherRecord) == 96, "the weather record is 96 bytes");
static_assert(offsetof(WeatherRecord, altimeter) == 16, "altimeter at 16");
static_assert(offsetof(WeatherRecord, variableWind) == 36, "flag at 36");
static_assert(offsetof(WeatherRecord, stormValue) == 40, "storm at 40");
static_assert(offsetof(WeatherRecord, cloud) == 48, "clouds at 48");

// Winds aloft (240 bytes): 14 bands of 16 bytes, then 16 bytes of the host's.
struct WindBand {
  std::int32_t direction;
  std::int32_t speed;
  unsigned char hostOwned[8];
};
constexpr int kWindBands = 14;
struct WindsAloftRecord {
  WindBand band[kWindBands];
  unsigned char hostOwned[16];
};
static_assert(sizeof(WindsAloftRecord) == 240, "winds aloft are 240 bytes");

// Nearest airport (272 bytes): identifier at 15, field elevation at 152.
struct NearestAirportRecord {
  unsigned char bytes[272];
};
constexpr std::size_t kNearestIdentOffset = 15;
constexpr std::size_t kNearestIdentSize = 152 - 15;  // up to the elevation
constexpr std::size_t kNearestElevationOffset = 152;  // float, feet

// Departure or destination airport (456 bytes): int32 "has airport" at 0,
// identifier at 191.
struct AirportRecord {
  unsigned char bytes[456];
};
constexpr std::size_t kAirportIdentOffset = 191;

// A node of the simulator's flight plan, a linked list the host owns.
constexpr std::size_t kPlanNodeKindOffset = 0;       // int32
constexpr std::size_t kPlanNodeSpeedOffset = 132;    // float
constexpr std::size_t kPlanNodeAltitudeOffset = 136; // float
constexpr std::size_t kPlanNodeName3Offset = 144;    // name for kind 3
constexpr std::size_t kPlanNodeName2Offset = 184;    // name for kind 2
constexpr std::size_t kPlanNodeNextOffset = 460;     // pointer, null at the end
constexpr std::size_t kPlanNodeSize = 460 + sizeof(void*);

// Time of day (16 bytes): hour, minute, then the host's.
struct TimeOfDay {
  std::int32_t hour;
  std::int32_t minute;
  std::int32_t hostOwned[2];
};
static_assert(sizeof(TimeOfDay) == 16, "the time record is 16 bytes");

// ---------------------------------------------------------------------------
// The slots the plug-in uses. Codes (window, control, event) are FourCC ints.

enum HostSlotNumber : int {
  kSlotSignature = 0,
  kSlotCreateObject = 2,
  kSlotDestroyObject = 4,
  kSlotSendMessage = 6,
  kSlotNearestAirport = 87,
  kSlotGetFlightPlan = 104,
  kSlotReleaseFlightPlan = 105,
  kSlotDepartureAirport = 106,
  kSlotDestinationAirport = 107,
  kSlotUserAircraft = 115,
  kSlotGetPosition = 118,
  kSlotSetPosition = 119,
  kSlotGetOrientation = 120,
  kSlotSetOrientation = 121,
  kSlotSetVelocity = 125,
  kSlotGetSpeed = 129,
  kSlotSetNames = 147,
  kSlotSetSpeed = 156,
  kSlotSetRadio = 174,
  kSlotLoadMetarFile = 185,
  kSlotGetWeather = 186,
  kSlotSetWeather = 187,
  kSlotUserAircraftPresent = 189,
  kSlotNormalise360 = 207,
  kSlotNormalise180 = 208,
  kSlotDistance = 214,
  kSlotHelpToggleA = 225,
  kSlotHelpToggleB = 226,
  kSlotTimedMessage = 229,
  kSlotTimeOfDay = 245,
  kSlotLoadLibrary = 251,
  kSlotFindExport = 252,
  kSlotReleaseLibrary = 253,
  kSlotPlaySound = 57,
  kSlotQuerySound = 59,
  kSlotReadSettingInt = 306,
  kSlotReadSettingText = 307,
  kSlotWriteSettingInt = 308,
  kSlotWriteSettingText = 309,
  kSlotAlert = 319,
  kSlotGetRadio = 338,
  kSlotCreateWindow = 374,
  kSlotCloseWindow = 375,
  kSlotIsWindowOpen = 377,
  kSlotAddMenu = 388,
  kSlotAddMenuItem = 389,
  kSlotGetControlValue = 380,
  kSlotSetControlValue = 381,
  kSlotGetButtonState = 384,
  kSlotSetButtonState = 385,
  kSlotAddPopupItem = 395,
  kSlotRemovePopupItem = 397,
  kSlotSelectPopupItem = 399,
  kSlotGetPopupSelection = 400,
  kSlotSetText = 405,
  kSlotSetPasswordDisplay = 429,
  kSlotGetText = 432,
  kSlotClearText = 433,
  kSlotListClearColumns = 444,
  kSlotListAddColumn = 445,
  kSlotListClearRows = 446,
  kSlotListAppendRow = 447,
  kSlotListRowCount = 448,
  kSlotListDeleteRow = 449,
  kSlotListSetCell = 450,
  kSlotListGetCell = 451,
  kSlotListSelectedRow = 452,
  kSlotListSelectRow = 453,
  kSlotSetPicture = 477,
  kSlotScrollToRow = 481,
  kSlotRaiseWindow = 520,
  kSlotMinimiseWindow = 521,
  kSlotWindsAloftGet = 534,
  kSlotWindsAloftSet = 535,
  kSlotSetFocus = 530,
  kSlotRedraw = 531,
};

// Radio kinds for the radio slots.
constexpr int kRadioCom = 1;
constexpr int kRadioTransponder = 8;

// The menu bar of the simulator.
constexpr std::uint32_t kMenuBar = 0x4D426172;  // 'MBar'

extern "C" {
// Start
typedef int(TALVIX_CALL* HostSignatureFn)(int reference);

// Objects. The created object starts with its AircraftRef (HostObject).
typedef HostObject*(TALVIX_CALL* HostCreateObjectFn)(const char* modelFile,
                                                     int reference);
typedef void(TALVIX_CALL* HostDestroyObjectFn)(HostObject* object);
typedef void(TALVIX_CALL* HostSendMessageFn)(HostMessage* message);
typedef void(TALVIX_CALL* HostUserAircraftFn)(AircraftRef* out);
typedef int(TALVIX_CALL* HostUserAircraftPresentFn)();
typedef void(TALVIX_CALL* HostGetPositionFn)(const AircraftRef* ref,
                                             HostPosition* out);
typedef void(TALVIX_CALL* HostSetPositionFn)(const AircraftRef* ref,
                                             const HostPosition* position);
typedef void(TALVIX_CALL* HostGetVectorFn)(const AircraftRef* ref,
                                           HostVector* out);
typedef void(TALVIX_CALL* HostSetVectorFn)(const AircraftRef* ref,
                                           const HostVector* value);
typedef float(TALVIX_CALL* HostGetSpeedFn)(const AircraftRef* ref);
typedef void(TALVIX_CALL* HostSetSpeedFn)(const AircraftRef* ref, float fps);
typedef void(TALVIX_CALL* HostSetNamesFn)(const AircraftRef* ref,
                                          const char* name,
                                          const char* label);
typedef float(TALVIX_CALL* HostGetRadioFn)(const AircraftRef* ref, int kind,
                                           int unit, int extra);
typedef void(TALVIX_CALL* HostSetRadioFn)(const AircraftRef* ref, int kind,
                                          int unit, float value);
typedef float(TALVIX_CALL* HostNormaliseFn)(float degrees);
typedef float(TALVIX_CALL* HostDistanceFn)(const HostPosition* from,
                                           const HostPosition* to);

// Windows and controls
typedef int(TALVIX_CALL* HostCreateWindowFn)(int signature, int window,
                                             const char* file);
typedef void(TALVIX_CALL* HostWindowFn)(int window);
typedef int(TALVIX_CALL* HostIsWindowOpenFn)(int window);
typedef int(TALVIX_CALL* HostAddMenuFn)(int menuBar, int menu,
                                        const char* title);
typedef int(TALVIX_CALL* HostAddMenuItemFn)(int menu, int item,
                                            const char* text);
typedef int(TALVIX_CALL* HostGetIntFn)(int window, int control);
typedef void(TALVIX_CALL* HostSetIntFn)(int window, int control, int value);
typedef void(TALVIX_CALL* HostAddPopupItemFn)(int window, int control, int id,
                                              const char* text);
typedef void(TALVIX_CALL* HostPopupIdFn)(int window, int control, int id);
// Copies the selected item's text (size with the NUL; buffer may be null)
// and returns the selected item's id, or -1 when nothing is selected.
typedef int(TALVIX_CALL* HostGetPopupSelectionFn)(int window, int control,
                                                  char* buffer, int size);
typedef void(TALVIX_CALL* HostSetTextFn)(int window, int control,
                                         const char* text);
typedef void(TALVIX_CALL* HostGetTextFn)(int window, int control,
                                         char* buffer, int size);
typedef void(TALVIX_CALL* HostControlFn)(int window, int control);
typedef void(TALVIX_CALL* HostListAddColumnFn)(int window, int control,
                                               const char* title, int width);
typedef void(TALVIX_CALL* HostListAppendRowFn)(int window, int control,
                                               int heightCode);
typedef int(TALVIX_CALL* HostListRowCountFn)(int window, int control);
typedef void(TALVIX_CALL* HostListRowFn)(int window, int control, int row);
typedef void(TALVIX_CALL* HostListSetCellFn)(int window, int control, int row,
                                             int column, const char* text);
typedef void(TALVIX_CALL* HostListGetCellFn)(int window, int control, int row,
                                             int column, char* buffer,
                                             int size);
typedef void(TALVIX_CALL* HostSetPictureFn)(int window, int control,
                                            const char* file);

// Messages and sounds
typedef void(TALVIX_CALL* HostTimedMessageFn)(const char* text,
                                              float seconds);
typedef void(TALVIX_CALL* HostAlertFn)(const char* text);
typedef int(TALVIX_CALL* HostPlaySoundFn)(const char* file);
typedef int(TALVIX_CALL* HostQuerySoundFn)(int handle);
typedef void(TALVIX_CALL* HostVoidFn)();

// Settings of a section. Reads leave the value unchanged when the key is
// missing; the text read copies at most size bytes, NUL included.
typedef void(TALVIX_CALL* HostReadSettingIntFn)(const char* section,
                                                const char* key, int* value);
typedef void(TALVIX_CALL* HostReadSettingTextFn)(const char* section,
                                                 const char* key,
                                                 char* buffer, int size);
typedef void(TALVIX_CALL* HostWriteSettingIntFn)(const char* section,
                                                 const char* key, int value);
typedef void(TALVIX_CALL* HostWriteSettingTextFn)(const char* section,
                                                  const char* key,
                                                  const char* value);

// Simulator data
typedef void(TALVIX_CALL* HostTimeOfDayFn)(TimeOfDay* out);
typedef void*(TALVIX_CALL* HostGetFlightPlanFn)();
typedef void(TALVIX_CALL* HostReleaseFlightPlanFn)(void* firstNode);
typedef void(TALVIX_CALL* HostAirportFn)(AirportRecord* out);
typedef void(TALVIX_CALL* HostNearestAirportFn)(const HostPosition* position,
                                                NearestAirportRecord* out,
                                                std::int32_t* unused);

// Weather
typedef void(TALVIX_CALL* HostLoadMetarFileFn)(const char* path);
typedef void(TALVIX_CALL* HostGetWeatherFn)(WeatherRecord* out);
typedef void(TALVIX_CALL* HostSetWeatherFn)(const WeatherRecord* record);
typedef void(TALVIX_CALL* HostGetWindsFn)(WindsAloftRecord* out);
typedef void(TALVIX_CALL* HostSetWindsFn)(const WindsAloftRecord* record);

// Libraries
typedef void*(TALVIX_CALL* HostLoadLibraryFn)(const char* name);
typedef void*(TALVIX_CALL* HostFindExportFn)(void* library,
                                             const char* name);
typedef void(TALVIX_CALL* HostReleaseLibraryFn)(void* library);
}

}  // namespace talvix
