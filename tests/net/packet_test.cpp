// Packets, their kinds, field joining and the queue between threads.
#include "net/packet.h"

#include <gtest/gtest.h>

#include <string>

#include "net/field_reader.h"
#include "net/packet_queue.h"

namespace talvix {
namespace {

TEST(Packet, KindAndPrefixComeFromTheFirstCharacter) {
  Packet tm("#TMABC");
  EXPECT_EQ(tm.kind(), kPacketHash);
  EXPECT_STREQ(tm.getPrefix(), "#TM");
  EXPECT_EQ(Packet("$PIABC:DEF").kind(), kPacketDollar);
  EXPECT_EQ(Packet("@N:ABC").kind(), kPacketPilot);
  EXPECT_EQ(Packet("%ABC").kind(), kPacketAtc);
  EXPECT_EQ(Packet("XYZ").kind(), kPacketUnhandled);
  EXPECT_EQ(Packet("").kind(), kPacketUnhandled);
  EXPECT_EQ(Packet().kind(), kPacketUnhandled);
  // An outgoing packet keeps kind 0 after its text is written.
  Packet out;
  out.setText("#AP");
  EXPECT_EQ(out.kind(), kPacketUnhandled);
}

TEST(Packet, FieldsJoinAfterAThreeCharacterPrefixAndWithColonsElsewhere) {
  Packet login;
  login.setText("#AP");
  login.appendField("ABC");
  EXPECT_STREQ(login.text(), "#APABC");
  login.appendField("SERVER");
  EXPECT_STREQ(login.text(), "#APABC:SERVER");

  Packet position;
  position.setText("@");
  position.appendText("N");
  position.appendField("ABC");
  EXPECT_STREQ(position.text(), "@N:ABC");

  Packet empty;
  empty.appendField("X");
  EXPECT_STREQ(empty.text(), ":X");

  empty.appendField(nullptr);
  empty.appendText(nullptr);
  EXPECT_STREQ(empty.text(), ":X");
}

TEST(Packet, PayloadSkipsThePrefix) {
  EXPECT_STREQ(Packet("$PIABC:DEF").payload(), "ABC:DEF");
  EXPECT_STREQ(Packet("@N:ABC").payload(), "N:ABC");
  EXPECT_STREQ(Packet("%XYZ_TWR:18150").payload(), "XYZ_TWR:18150");
  // Shorter than its prefix: an empty payload, never past the text.
  EXPECT_STREQ(Packet("#T").payload(), "");
  EXPECT_STREQ(Packet("").payload(), "");
}

TEST(Packet, TextsAreCutAt1023Characters) {
  std::string longText(3000, 'x');
  Packet fromText(("#TM" + longText).c_str());
  EXPECT_EQ(std::string(fromText.text()).size(), 1023u);

  Packet built;
  built.setText("#TM");
  for (int i = 0; i < 50; ++i) built.appendField(longText.c_str());
  EXPECT_EQ(std::string(built.text()).size(), 1023u);
  built.appendText("more");
  EXPECT_EQ(std::string(built.text()).size(), 1023u);
}

TEST(PacketQueue, PopsInOrderAndDropsTheNewestWhenFull) {
  PacketQueue queue;
  queue.push(nullptr);
  EXPECT_EQ(queue.count(), 0);
  queue.push(new Packet("first"));
  queue.push(new Packet("second"));
  queue.push(new Packet("third"));
  for (const char* expected : {"first", "second", "third"}) {
    Packet* packet = queue.pop();
    ASSERT_NE(packet, nullptr);
    EXPECT_STREQ(packet->text(), expected);
    delete packet;
  }
  EXPECT_EQ(queue.count(), 0);
  EXPECT_EQ(queue.pop(), nullptr);

  for (int i = 0; i < 10240; ++i)
    ASSERT_TRUE(queue.push(new Packet(std::to_string(i).c_str())));
  EXPECT_FALSE(queue.push(new Packet("newest")));
  EXPECT_EQ(queue.count(), 10240);
  Packet* oldest = queue.pop();
  EXPECT_STREQ(oldest->text(), "0");
  delete oldest;
  // The rest are deleted with the queue (the leak check would see them).
}

TEST(FieldReader, KeepsEmptyFieldsAndSignalsTheEnd) {
  FieldReader reader("A::B");
  EXPECT_EQ(reader.next(), "A");
  EXPECT_EQ(reader.next(), "");
  EXPECT_EQ(reader.next(), "B");
  EXPECT_FALSE(reader.hasMore());
  EXPECT_THROW(reader.next(), ost::StringTokenizer::NoSuchElementException);

  EXPECT_EQ(SplitFields("A:"), (std::vector<std::string>{"A", ""}));
  EXPECT_EQ(SplitFields(""), (std::vector<std::string>{""}));
  EXPECT_EQ(SplitFields(":"), (std::vector<std::string>{"", ""}));
  EXPECT_EQ(SplitFields(" a : b "), (std::vector<std::string>{" a ", " b "}));
  EXPECT_EQ(SplitFields("x,,y", ","), (std::vector<std::string>{"x", "", "y"}));
}

}  // namespace
}  // namespace talvix
