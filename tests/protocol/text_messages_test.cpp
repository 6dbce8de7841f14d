// "#TM" lines by addressee, byte for byte, with their sound cues, through
// the real plug-in and a loopback peer.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/atc/atc_session_fixture.h"

namespace talvix {
namespace {

using testing::AtcSessionTest;
using Lines = std::vector<std::string>;

struct MessageCase {
  const char* line;
  Lines posted;
  const char* sound;  // "" for none
};

TEST_F(AtcSessionTest, TextMessagesAreShownByAddressee) {
  start("127.0.0.95");
  deliver(testing::kTowerLine);  // tunes UNICOM_CTR, "22800"
  const MessageCase cases[] = {
      {"#TMdef:ABC:hello", {"[PRIVATE <DEF>] hello"}, "MYATTN.WAV"},
      {"#TMXYZ:*P:to all", {"to all"}, "ATTN.WAV"},
      {"#TMXYZ:*:to all too", {"to all too"}, "ATTN.WAV"},
      {"#TMxyz:@22800:on unicom", {"XYZ: on unicom"}, "ATTN.WAV"},
      {"#TMxyz:@18150&@22800:second piece", {"XYZ: second piece"}, "ATTN.WAV"},
      {"#TMxyz:@18150:elsewhere", {}, ""},
      {"#TMxyz:@22800:ABC, turn left", {"XYZ: ABC, turn left"}, "MYATTN.WAV"},
      {"#TMxyz:@22800:left turn ABC", {"XYZ: left turn ABC"}, "ATTN.WAV"},
      {"#TMDEF:@2150:mayday", {"[ON GUARD] mayday"}, "ATTN.WAV"},
      {"#TMDEF:@2150&@22800:both",
       {"[ON GUARD] both", "DEF: both"},
       "ATTN.WAV"},
      {"#TMDEF:@22800&@2150:once", {"DEF: once"}, "ATTN.WAV"},
      {"#TMDEF:abc:not me", {"[???] not me"}, "ATTN.WAV"},
      {"#TMDEF:*:time 12:30", {"time 12"}, "ATTN.WAV"},
      {"#TMDEF:ABC", {"****> handleTM - Talvix: Exception caught."}, ""},
  };
  for (const MessageCase& c : cases) {
    const std::size_t lines = history().size();
    const std::size_t sounds = state().sounds.size();
    const int raises = mainWindowRaises();
    deliver(c.line);
    EXPECT_EQ(postedSince(lines), c.posted) << c.line;
    const std::string sound = c.sound;
    EXPECT_EQ(state().sounds.size(), sounds + (sound.empty() ? 0 : 1))
        << c.line;
    if (!sound.empty()) {
      EXPECT_EQ(lastSound(), sound) << c.line;
    }
    // AutoPopup is set: the alert raises the main window.
    EXPECT_EQ(mainWindowRaises(), raises + (sound == "MYATTN.WAV")) << c.line;
  }

  // A cue still playing is not started again.
  const std::size_t sounds = state().sounds.size();
  ASSERT_TRUE(peer().send("#TMX:*:one\r\n#TMX:*:two\r\n"));
  ASSERT_TRUE(pump([&] { return historyHas("two"); }));
  EXPECT_EQ(state().sounds.size(), sounds + 1);
}

}  // namespace
}  // namespace talvix
