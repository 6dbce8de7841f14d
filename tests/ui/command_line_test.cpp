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

struct Typed {
  const char* line;
  const char* sent;    // "" when nothing goes out
  const char* posted;  // "" when nothing is posted
};

// In order: a row that sends nothing is checked by the next row's line
// being the next one on the wire.
const Typed kTyped[] = {
    {"hello", "#TMABC:@22800:hello", "ABC: hello"},
    {".atis", "$CQABC::ATIS", "ATIS ON REQUEST"},
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
    {".msg", "", "Usage: .msg CALLSIGN TEXT"},
    {".msg ", "", "Usage: .msg CALLSIGN TEXT"},
    {".msg  hi", "", "Usage: .msg CALLSIGN TEXT"},
    {".foo bar", "#TMABC:@22800:.foo bar", "ABC: .foo bar"},
    {".m", "#TMABC:@22800:.m", "ABC: .m"},
};

TEST_F(CommandLineTest, EveryCommandSendsItsLineAndEchoesIt) {
  LoopbackPeer peer("127.0.0.171");
  connect(peer, "127.0.0.171");
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
      EXPECT_EQ(history().back(), typed.posted);
    } else {
      EXPECT_EQ(history().size(), rows);
    }
    EXPECT_EQ(field(), "");
    EXPECT_EQ(fieldRedraws(), redraws + 1);
    EXPECT_EQ(control("txMN", "spMg")->selected, 0);
  }
}

TEST_F(CommandLineTest, PingCarriesTheLocalTime) {
  LoopbackPeer peer("127.0.0.172");
  connect(peer, "127.0.0.172");
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
  EXPECT_EQ(history().back(), "Ping Sent");
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
}

}  // namespace
}  // namespace talvix
