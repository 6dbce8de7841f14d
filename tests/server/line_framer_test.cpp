#include "server/line_framer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "server/wire_line.h"

namespace netserver {
namespace {

std::vector<std::string> frame(LineFramer& framer, const std::string& bytes) {
  std::vector<std::string> lines;
  framer.feed(bytes.data(), bytes.size(),
              [&](const std::string& line) { lines.push_back(line); });
  return lines;
}

TEST(LineFramer, CutsAtCrLfAndLoneLf) {
  LineFramer framer;
  EXPECT_EQ(frame(framer, "ABC\r\nDEF\nGHI"),
            (std::vector<std::string>{"ABC", "DEF"}));
  EXPECT_EQ(frame(framer, "\r\n"), (std::vector<std::string>{"GHI"}));
}

TEST(LineFramer, CrLfSplitAcrossReadsStillEndsTheLine) {
  LineFramer framer;
  EXPECT_TRUE(frame(framer, "ABC\r").empty());
  EXPECT_EQ(frame(framer, "\nX\r\n"), (std::vector<std::string>{"ABC", "X"}));
}

TEST(LineFramer, CrWithoutLfIsAnOrdinaryByteAndEmptyLinesAreDropped) {
  LineFramer framer;
  EXPECT_EQ(frame(framer, "A\rB\r\n\r\n\n\r\rC\n"),
            (std::vector<std::string>{"A\rB", "\r\rC"}));
}

TEST(LineFramer, OverlongRunIsCutInPiecesOf1023) {
  LineFramer framer;
  const std::string bytes = std::string(2500, 'x') + "\r\n";
  const auto lines = frame(framer, bytes);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].size(), 1023u);
  EXPECT_EQ(lines[1].size(), 1023u);
  EXPECT_EQ(lines[2].size(), 2500u - 2046u);
}

TEST(LineFramer, CrAtTheCutIsNotLost) {
  LineFramer framer;
  // 1022 bytes, then CR LF: the line ends normally without its CR.
  const auto lines = frame(framer, std::string(1022, 'y') + "\r\nZ\n");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], std::string(1022, 'y'));
  EXPECT_EQ(lines[1], "Z");
}

TEST(WireLine, SplitsKeepingEmptyFields) {
  EXPECT_EQ(splitFields("A::B"), (std::vector<std::string>{"A", "", "B"}));
  EXPECT_EQ(splitFields("A:"), (std::vector<std::string>{"A", ""}));
  EXPECT_EQ(splitFields(""), (std::vector<std::string>{""}));
}

TEST(WireLine, SenderAndAddresseeByKind) {
  const auto position =
      parseWireLine("@N:ABC:1200:1:48.35340:-122.30920:3400:59:1020:0");
  ASSERT_TRUE(position);
  EXPECT_EQ(position->prefix, "@");
  EXPECT_EQ(position->sender(), "ABC");
  EXPECT_FALSE(position->addressee());

  const auto text = parseWireLine("#TMABC:@22800&@18150:hello");
  ASSERT_TRUE(text);
  EXPECT_EQ(text->prefix, "#TM");
  EXPECT_EQ(text->sender(), "ABC");
  EXPECT_EQ(text->addressee(), "@22800&@18150");

  const auto controller = parseWireLine("%XYZ_TWR:18150:4:50:3");
  ASSERT_TRUE(controller);
  EXPECT_EQ(controller->sender(), "XYZ_TWR");

  EXPECT_FALSE(parseWireLine("#T"));
  EXPECT_FALSE(parseWireLine("XYZ"));
  EXPECT_FALSE(parseWireLine(""));
  const auto bare = parseWireLine("#TM");
  ASSERT_TRUE(bare);
  EXPECT_EQ(bare->sender(), "");
  EXPECT_FALSE(bare->addressee());
}

TEST(WireLine, PrintableEscapesControlAndHighBytes) {
  EXPECT_EQ(printable(std::string("a\x01\xff\\b", 5)), "a\\x01\\xFF\\x5Cb");
}

}  // namespace
}  // namespace netserver
