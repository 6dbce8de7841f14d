// The four-character codes of the plug-in's windows, their controls, menu
// items and the host's event kinds. The window files carry the same codes.
#pragma once

#include <cstdint>

#include "core/fourcc.h"

namespace talvix::codes {

// Windows
constexpr std::uint32_t kMainWindow = FourCC("txMN");
constexpr std::uint32_t kConnectWindow = FourCC("txCN");
constexpr std::uint32_t kAircraftWindow = FourCC("txAC");
constexpr std::uint32_t kFlightPlanWindow = FourCC("txFP");
constexpr std::uint32_t kAtcWindow = FourCC("txTC");
constexpr std::uint32_t kPictureWindow = FourCC("txPC");

// The simulator menu "Plugins" and its item "Talvix"
constexpr std::uint32_t kPluginsMenu = FourCC("plug");
constexpr std::uint32_t kTalvixMenuItem = FourCC("txMN");

// Event kinds
constexpr std::uint32_t kEventSelect = FourCC("slct");
constexpr std::uint32_t kEventAction = FourCC("actn");
constexpr std::uint32_t kEventTextEntered = FourCC("tent");
constexpr std::uint32_t kEventValue = FourCC("valu");
constexpr std::uint32_t kEventMove = FourCC("move");
constexpr std::uint32_t kEventFocus = FourCC("foci");
constexpr std::uint32_t kEventFocusLost = FourCC("!foc");

// Main window controls and pseudo-controls
constexpr std::uint32_t kHistory = FourCC("hist");
constexpr std::uint32_t kCommandLine = FourCC("text");
constexpr std::uint32_t kPilotPopup = FourCC("spMg");
constexpr std::uint32_t kAtcPopup = FourCC("sAtc");
constexpr std::uint32_t kFrequencyLabel = FourCC("aFrq");
constexpr std::uint32_t kTransponderLabel = FourCC("modT");
constexpr std::uint32_t kAutoWeatherBox = FourCC("idnt");
constexpr std::uint32_t kRangePopup = FourCC("mp__");
constexpr std::uint32_t kAltitudeOffsetField = FourCC("atcv");
constexpr std::uint32_t kAltitudeOffsetApply = FourCC("atco");
constexpr std::uint32_t kConnectionMenu = FourCC("cnmn");
constexpr std::uint32_t kAtcMenu = FourCC("atc_");
constexpr std::uint32_t kHelpMenu = FourCC("hlmn");
constexpr std::uint32_t kSizeBox = FourCC("size");
constexpr std::uint32_t kMinimiseBox = FourCC("MINI");
constexpr std::uint32_t kCloseBox = FourCC("clos");
constexpr std::uint32_t kWindowAction = FourCC("actn");

// Range popup items
constexpr std::uint32_t kRange5 = FourCC("mp5_");
constexpr std::uint32_t kRange10 = FourCC("mp10");
constexpr std::uint32_t kRange20 = FourCC("mp20");
constexpr std::uint32_t kRange40 = FourCC("mp40");
constexpr std::uint32_t kRange100 = FourCC("mp00");
constexpr std::uint32_t kRangeNone = FourCC("mpno");

// Menu items
constexpr std::uint32_t kItemConnect = FourCC("conn");
constexpr std::uint32_t kItemDisconnect = FourCC("disc");
constexpr std::uint32_t kItemExit = FourCC("exit");
constexpr std::uint32_t kItemAtcList = FourCC("atcd");
constexpr std::uint32_t kItemFlightPlan = FourCC("fpln");
constexpr std::uint32_t kItemResendPlan = FourCC("rpln");
constexpr std::uint32_t kItemAbout = FourCC("abut");
constexpr std::uint32_t kItemHelpToggle = FourCC("txhm");

// Connect window controls
constexpr std::uint32_t kServerPopup = FourCC("ipMN");
constexpr std::uint32_t kCallsignField = FourCC("csgn");
constexpr std::uint32_t kUsernameField = FourCC("user");
constexpr std::uint32_t kPasswordField = FourCC("pwd_");
constexpr std::uint32_t kFirstNameField = FourCC("fnam");
constexpr std::uint32_t kLastNameField = FourCC("lnam");
constexpr std::uint32_t kHomeBaseField = FourCC("base");
constexpr std::uint32_t kOkButton = FourCC("okBn");

// Picture window control
constexpr std::uint32_t kPicture = FourCC("sPic");

}  // namespace talvix::codes
