// The command line of the main window, typed into the real plug-in in the
// stand-in host and read off the wire by a loopback peer.
#include <gtest/gtest.h>

#include <ctime>
#include <string>
#include <vector>

#include "tests/protocol/session_plugin_fixture.h"

namespace talvix {
namespace {

using testing::LoopbackPeer;

class CommandLineTest : public testing::SessionPluginTest {
 protected:
  void enter(const std::string& text) {
    host().model().setText(static_cast<int>(FourCC("txMN")),
                           static_cast<int>(FourCC("text")), text.c_str());
    event("txMN", "text", "tent");
  }
  std::string field() const { return control("txMN", "text")->text; }
  int fieldRedraws() const { return control("txMN", "text")->redraws; }
};

constexpr char kCommandList[] =
    "Commands: .mt STATION (METAR), .wx STATION (weather), .ping CALLSIGN, "
    ".msg CALLSIGN TEXT (private message), .atis STATION, .rw ADDRESS (join "
    "voice channel), .rwk (leave voice channel), .acars STATION (METAR by "
    "ACARS); other text is chat on the frequency.";

struct Typed {
  const char* line;
  const char* sent;         // "" when nothing goes out
  const char* posted;       // "" when nothing is posted
  const char* before = "";  // the line posted just before, if any
  bool kept = false;        // refused: the line stays in the field
};

constexpr char kNoMessage[] = "Message may not contain control characters.";
constexpr char kNoStation[] =
    "Station may not contain \":\" or control characters.";
constexpr char kNoCallsign[] =
    "Callsign may not contain \":\" or control characters.";

// In order: a row that sends nothing is checked by the next row's line
// being the next one on the wire.
const Typed kTyped[] = {
    {"hello", "#TMABC:@22800:hello", "ABC: hello"},
    {".atis", "", "Usage: .atis STATION", "", true},
    {".ATIS EDDF_TWR", "$CQABC:EDDF_TWR:ATIS", "ATIS ON REQUEST"},
    {".acars eddf", "$AXABC:SERVER:METAR:eddf", "ACARS ON REQUEST"},
    {".atc", "", ""},
    {".rwk", "", "Error deactivating RW"},  // no Roger Wilco registered
    {".atcfoo bar", "", ""},
    {".mt eddf", "$AXABC:SERVER:METAR:EDDF", "Requested METAR for EDDF"},
    {".wx eddf", "#WXABC:SERVER:eddf", "Requested weather for eddf"},
    {".msg abc12 hello there", "#TMABC:abc12:hello there",
     "ABC12 <-- hello there"},
    {".msg def hi there", "#TMABC:def:hi there", "DEF <-- hi there"},
    {".MSG def  two  blanks", "#TMABC:def: two  blanks",
     "DEF <--  two  blanks"},
    {".msg", "", "Usage: .msg CALLSIGN TEXT", "", true},
    {".msg ", "", "Usage: .msg CALLSIGN TEXT", "", true},
    {".msg  hi", "", "Usage: .msg CALLSIGN TEXT", "", true},
    // A dot and a letter that make no command never go out as chat.
    {".foo bar", "", kCommandList, ".foo is not a command.", true},
    {".m", "", kCommandList, ".m is not a command.", true},
    {".help", "", kCommandList},
    {".HELP me", "", kCommandList},
    {".metar KSJC", "", kCommandList, ".metar is not a command.", true},
    {".metr KSFO", "", kCommandList, ".metr is not a command.", true},
    {".rw", "", kCommandList, ".rw is not a command.",
     true},  // the command is ".rw " with its blank
    {".Zulu time", "", kCommandList, ".Zulu is not a command.", true},
    {".afk", "", kCommandList, ".afk is not a command.", true},
    {".me\x7ftr", "", kCommandList, ".me is not a command.", true},
    {".mt KSFO", "$AXABC:SERVER:METAR:KSFO", "Requested METAR for KSFO"},
    // Anything else after the dot is chat as before.
    {". hello", "#TMABC:@22800:. hello", "ABC: . hello"},
    {"...", "#TMABC:@22800:...", "ABC: ..."},
    {".5 left", "#TMABC:@22800:.5 left", "ABC: .5 left"},
    {".", "#TMABC:@22800:.", "ABC: ."},
    {".@ ok", "#TMABC:@22800:.@ ok", "ABC: .@ ok"},
    {".[ ok", "#TMABC:@22800:.[ ok", "ABC: .[ ok"},
    {".` ok", "#TMABC:@22800:.` ok", "ABC: .` ok"},
    {".{ ok", "#TMABC:@22800:.{ ok", "ABC: .{ ok"},
    // A command without its argument says how it is used.
    {".ping", "", "Usage: .ping CALLSIGN", "", true},
    {".PING ", "", "Usage: .ping CALLSIGN", "", true},
    {".wx", "", "Usage: .wx STATION", "", true},
    {".wx  ", "", "Usage: .wx STATION", "", true},
    {".mt", "", "Usage: .mt STATION", "", true},
    {".mt \t", "", "Usage: .mt STATION", "", true},
    {".acars", "", "Usage: .acars STATION", "", true},
    {".atis ", "", "Usage: .atis STATION", "", true},
    {".rw ", "", "Usage: .rw ADDRESS", "", true},
    {".rw  ", "", "Usage: .rw ADDRESS", "", true},
    {".atis KSFO_ATIS", "$CQABC:KSFO_ATIS:ATIS", "ATIS ON REQUEST"},
    // A station or callsign that would split or end its line is refused.
    {".atis KS:FO", "", kNoStation, "", true},
    {".acars KS:FO", "", kNoStation, "", true},
    {".mt ks:fo", "", kNoStation, "", true},
    {".wx ksfo\x01", "", kNoStation, "", true},
    {".wx ksfo\x7f", "", kNoStation, "", true},
    {".ping AB:C", "", kNoCallsign, "", true},
    {".msg AB:C hello", "", kNoCallsign, "", true},
    {".msg AB\x02 hello", "", kNoCallsign, "", true},
    // The message, the last field, may hold colons.
    {".msg abc time: 12:30", "#TMABC:abc:time: 12:30", "ABC <-- time: 12:30"},
    {"hi: there", "#TMABC:@22800:hi: there", "ABC: hi: there"},
    // No control character of a message reaches the wire; Latin-1 does.
    {"hi\x01there", "", kNoMessage, "", true},
    {"hi\rthere", "", kNoMessage, "", true},
    {"hello\r\n#DAFAKE_TWR:x", "", kNoMessage, "", true},
    {".msg DEF hi\rthere", "", kNoMessage, "", true},
    {".msg DEF bell\x07", "", kNoMessage, "", true},
    {".msg DEF del\x7f", "", kNoMessage, "", true},
    {"caf\xe9 \xff", "#TMABC:@22800:caf\xe9 \xff", "ABC: caf\xe9 \xff"},
    {".msg DEF \xe0 bient\xf4t", "#TMABC:DEF:\xe0 bient\xf4t",
     "DEF <-- \xe0 bient\xf4t"},
};

TEST_F(CommandLineTest, EveryCommandSendsItsLineAndEchoesIt) {
  LoopbackPeer peer("127.0.0.74");
  connect(peer, "127.0.0.74");
  host().model().addPopupItem(static_cast<int>(FourCC("txMN")),
                              static_cast<int>(FourCC("spMg")), 5, "DEF");
  host().model().selectPopupItem(static_cast<int>(FourCC("txMN")),
                                 static_cast<int>(FourCC("spMg")), 5);
  for (const Typed& typed : kTyped) {
    SCOPED_TRACE(typed.line);
    const std::size_t rows = history().size();
    const int redraws = fieldRedraws();
    enter(typed.line);
    if (*typed.sent != '\0') {
      EXPECT_EQ(answer(peer), typed.sent);
    }
    if (*typed.posted != '\0') {
      // An echo comes once its line is written.
      EXPECT_TRUE(pump([&] { return history().back() == typed.posted; }))
          << history().back();
      const std::vector<std::string> now = history();
      EXPECT_EQ(now.size(), rows + 1 + (*typed.before != '\0'));
      if (*typed.before != '\0') EXPECT_EQ(now[now.size() - 2], typed.before);
    } else {
      EXPECT_EQ(history().size(), rows);
    }
    EXPECT_EQ(field(), typed.kept ? typed.line : "");
    EXPECT_EQ(fieldRedraws(), redraws + (typed.kept ? 0 : 1));
    EXPECT_EQ(control("txMN", "spMg")->selected, 0);
  }
}

TEST_F(CommandLineTest, PingCarriesTheLocalTime) {
  LoopbackPeer peer("127.0.0.75");
  connect(peer, "127.0.0.75");
  auto expected = [] {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return "$PIABC:ABC:" + std::to_string(local.tm_hour) + ":" +
           std::to_string(local.tm_min) + ":" + std::to_string(local.tm_sec);
  };
  const std::string before = expected();
  enter(".ping abc");
  const std::string after = expected();
  const auto line = answer(peer);
  ASSERT_TRUE(line.has_value());
  EXPECT_TRUE(*line == before || *line == after) << *line;
  EXPECT_TRUE(pump([&] { return history().back() == "Ping Sent"; }));
}

TEST_F(CommandLineTest, WithoutAConnectionTheTextStays) {
  enter("");
  EXPECT_EQ(history(), std::vector<std::string>{""});
  EXPECT_EQ(fieldRedraws(), 0);

  enter("hello");
  EXPECT_EQ(history(),
            (std::vector<std::string>{"", "Connect to the server first."}));
  EXPECT_EQ(field(), "hello");

  // After Disconnect: refused the same way.
  LoopbackPeer peer("127.0.0.173");
  connect(peer, "127.0.0.173");
  disconnect();
  enter(".mt eddf");
  EXPECT_EQ(history(),
            (std::vector<std::string>{"", "Disconnected.",
                                      "Connect to the server first."}));
  EXPECT_EQ(field(), ".mt eddf");
  EXPECT_EQ(fieldRedraws(), 0);

  // The command list sends nothing, so it needs no connection.
  enter(".help");
  EXPECT_EQ(history(), (std::vector<std::string>{"", "Disconnected.",
                                                 "Connect to the server first.",
                                                 kCommandList}));
  EXPECT_EQ(field(), "");
  EXPECT_EQ(fieldRedraws(), 1);
}

}  // namespace
}  // namespace talvix
