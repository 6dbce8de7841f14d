// The transponder letter of the "@" line and the main window's mode label.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "core/fourcc.h"
#include "protocol/own_aircraft.h"
#include "tests/traffic/direct_host.h"

namespace talvix {
namespace {

class TransponderTest : public testing::DirectHostTest {
 protected:
  char letterFor(int mode, int reply,
                 std::uint32_t destination = FourCC("kt76")) {
    user([&](sim::UserAircraft& u) {
      u.transponder.mode = mode;
      u.transponder.reply = reply;
      u.transponder.destination = destination;
    });
    UpdateFlyParameters();
    return OwnAircraft().modeLetter;
  }
  std::string label() const {
    const sim::HostState s = state();
    const sim::Control* modT = find(s, "txMN", "modT");
    return modT ? modT->text : "(no label)";
  }
  void setLabel(const std::string& text) {
    model_->setText(static_cast<int>(FourCC("txMN")),
                    static_cast<int>(FourCC("modT")), text.c_str());
  }
};

TEST_F(TransponderTest, ModesGiveTheirLettersAndNames) {
  EXPECT_EQ(letterFor(6, 1), 'Y');
  EXPECT_EQ(label(), "Mode C");
  EXPECT_EQ(TransponderModeIndex(), 3);
  EXPECT_EQ(letterFor(6, 0), 'N');
  EXPECT_EQ(letterFor(5, 0), 'N');
  EXPECT_EQ(label(), "Mode A");
  EXPECT_EQ(letterFor(5, 7), 'Y');
  EXPECT_EQ(letterFor(3, 1), 'S');
  EXPECT_EQ(label(), "Standby");
  EXPECT_EQ(letterFor(0, 1), 'S');
  EXPECT_EQ(label(), "Off");
  EXPECT_EQ(letterFor(-4, 0), 'S');
  EXPECT_EQ(label(), "Standby");
}

// A 'real' answer is cut toward zero; one that no int holds reads as 0.
TEST_F(TransponderTest, ARealModeAnswerIsTruncatedOrOff) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    double answer;
    const char* label;
  } cases[] = {
      {6.9, "Mode C"},        {5.0, "Mode A"},
      {-2147483648.0, "Off"}, {-2147483647.0, "Standby"},
      {2147483648.0, "Off"},  {2147483647.0, "Standby"},
      {nan, "Off"},           {-0.5, "Off"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.answer);
    letterFor(6, 0);  // a change of mode, so the label is written
    user([&](sim::UserAircraft& u) {
      u.transponder.modeAnsweredAsReal = true;
      u.transponder.realMode = c.answer;
    });
    UpdateFlyParameters();
    EXPECT_EQ(label(), c.label);
    user(
        [](sim::UserAircraft& u) { u.transponder.modeAnsweredAsReal = false; });
  }
}

TEST_F(TransponderTest, TheLabelIsWrittenOnlyWhenTheModeChanges) {
  letterFor(6, 1);
  ASSERT_EQ(label(), "Mode C");
  setLabel("untouched");
  letterFor(6, 1);
  letterFor(6, 0);  // another letter, the same mode
  EXPECT_EQ(label(), "untouched");
  letterFor(5, 0);
  EXPECT_EQ(label(), "Mode A");
}

TEST_F(TransponderTest, TheSecondDestinationIsFoundAndKept) {
  EXPECT_EQ(letterFor(6, 1, FourCC("xpdr")), 'Y');
  EXPECT_EQ(OwnAircraft().transponderMessage.destination, FourCC("xpdr"));
  EXPECT_EQ(letterFor(5, 0, FourCC("xpdr")), 'N');
  EXPECT_EQ(OwnAircraft().transponderMessage.destination, FourCC("xpdr"));
}

TEST_F(TransponderTest, NoTransponderReadsAsOff) {
  letterFor(6, 1);
  EXPECT_EQ(letterFor(6, 1, FourCC("none")), 'S');
  EXPECT_EQ(label(), "Off");
  EXPECT_EQ(OwnAircraft().transponderMessage.receiver, 0u);
  // Found again as soon as it answers.
  EXPECT_EQ(letterFor(6, 1), 'Y');
}

}  // namespace
}  // namespace talvix
