// Packets, their kinds, field joining and the queue between threads.
#include "net/packet.h"

#include <gtest/gtest.h>

#include <memory>
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
  // The slot freed takes one more, which leaves after all the others.
  EXPECT_TRUE(queue.push(new Packet("wrapped")));
  EXPECT_FALSE(queue.push(new Packet("beyond")));
  for (int i = 1; i < 10240; ++i) {
    std::unique_ptr<Packet> next(queue.pop());
    ASSERT_STREQ(next->text(), std::to_string(i).c_str());
  }
  std::unique_ptr<Packet> last(queue.pop());
  EXPECT_STREQ(last->text(), "wrapped");
  EXPECT_EQ(queue.count(), 0);
  queue.push(new Packet("held"));
  // The rest are deleted with the queue (the leak check would see them).
}

// Lines leave before requests, each lane first in first out, whatever the
// order they were pushed in.
TEST(OutgoingQueue, PopsEveryLineBeforeTheRequestsEachInOrder) {
  OutgoingQueue queue;
  queue.push(nullptr, OutgoingQueue::kRequests);
  EXPECT_EQ(queue.count(), 0);
  queue.push(new Packet("#TXABC:P1:PIR"), OutgoingQueue::kRequests);
  queue.push(new Packet("@N:ABC:1"));
  queue.push(new Packet("#TXABC:P1:VIR"), OutgoingQueue::kRequests);
  queue.push(new Packet("#TMABC:@22800:hi"), OutgoingQueue::kLines);
  EXPECT_EQ(queue.count(), 4);
  EXPECT_EQ(queue.lane(OutgoingQueue::kRequests).count(), 2);
  Packet* first = queue.pop();
  EXPECT_STREQ(first->text(), "@N:ABC:1");
  delete first;
  // A line queued after the pop still goes before the waiting requests.
  queue.push(new Packet("$POABC:XYZ:1"));
  for (const char* expected :
       {"#TMABC:@22800:hi", "$POABC:XYZ:1", "#TXABC:P1:PIR", "#TXABC:P1:VIR"}) {
    Packet* packet = queue.pop();
    ASSERT_NE(packet, nullptr);
    EXPECT_STREQ(packet->text(), expected);
    delete packet;
  }
  EXPECT_EQ(queue.count(), 0);
  EXPECT_EQ(queue.pop(), nullptr);
}

// Each lane holds exactly 10240: the one beyond is the one dropped, and a
// full lane takes no room from the other.
TEST(OutgoingQueue, EachLaneHoldsItsOwnRoom) {
  for (const OutgoingQueue::Lane full :
       {OutgoingQueue::kLines, OutgoingQueue::kRequests}) {
    SCOPED_TRACE(full);
    const OutgoingQueue::Lane other = full == OutgoingQueue::kLines
                                          ? OutgoingQueue::kRequests
                                          : OutgoingQueue::kLines;
    auto queue = std::make_unique<OutgoingQueue>();
    for (int i = 0; i < OutgoingQueue::kSlots; ++i)
      ASSERT_TRUE(queue->push(new Packet(std::to_string(i).c_str()), full));
    EXPECT_EQ(queue->lane(full).count(), 10240);
    EXPECT_FALSE(queue->push(new Packet("beyond"), full));
    EXPECT_EQ(queue->lane(full).count(), 10240);
    EXPECT_TRUE(queue->push(new Packet("other"), other));
    EXPECT_EQ(queue->count(), 10241);
    Packet* oldest = queue->pop();
    EXPECT_STREQ(oldest->text(), full == OutgoingQueue::kLines ? "0" : "other");
    delete oldest;
    if (full == OutgoingQueue::kRequests) {
      oldest = queue->pop();
      EXPECT_STREQ(oldest->text(), "0");
      delete oldest;
    }
    // Room for exactly one again.
    EXPECT_TRUE(queue->push(new Packet("again"), full));
    EXPECT_FALSE(queue->push(new Packet("beyond"), full));
  }
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
