// The session's two workers through real loopback TCP: line framing of the
// receiver, the sender's writes, dead sessions and stopping. The host table
// of this in-process copy stays empty, so host calls do nothing.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "net/ctx_socket.h"
#include "net/queue_locks.h"
#include "net/session.h"
#include "net/socket_sender.h"
#include "tests/net/loopback_peer.h"

namespace talvix {
namespace {

using Clock = std::chrono::steady_clock;
using testing::LoopbackPeer;

// A session whose socket takes only a few kilobytes before it is full, so
// a peer that stops reading blocks it within seconds (the kernel would
// otherwise grow the send buffer to megabytes).
class SmallSendBufferSession : public CTXSocket {
 public:
  explicit SmallSendBufferSession(const ost::IPV4Host& server)
      : CTXSocket(server) {
    sendBuffer(4096);
  }
};

class SessionThreadsTest : public ::testing::Test {
 protected:
  void SetUp() override { CreateQueueLocks(); }
  void TearDown() override {
    sender_.reset();
    session_.reset();
  }

  template <typename Session = CTXSocket>
  void open(const char* address) {
    session_ = std::make_unique<Session>(ost::IPV4Host(address));
    sender_ = std::make_unique<SocketSender>(session_.get());
    session_->startReceiver();
    sender_->startSending();
  }
  template <typename Session = CTXSocket>
  void openConnected(LoopbackPeer& peer, const char* address) {
    ASSERT_TRUE(peer.listening());
    open<Session>(address);
    ASSERT_TRUE(peer.accept());
    ASSERT_TRUE(waitUntil([&] { return session_->connected(); }));
  }

  int incomingCount() {
    platform::LockGuard hold(IncomingLock());
    return session_->incoming().count();
  }
  // The texts of every received packet, oldest first; the queue is emptied.
  std::vector<std::string> drainIncoming() {
    platform::LockGuard hold(IncomingLock());
    std::vector<std::string> texts;
    while (Packet* p = session_->incoming().pop()) {
      texts.push_back(p->text());
      delete p;
    }
    return texts;
  }
  // Waits until n packets arrived (or 5 s passed) and takes them.
  std::vector<std::string> receive(int n) {
    waitUntil([&] { return incomingCount() >= n; });
    return drainIncoming();
  }
  void send(const std::string& text) {
    Packet* p = new Packet();
    p->setText(text.c_str());
    session_->queuePacket(p);
  }

  template <typename Pred>
  static bool waitUntil(Pred pred, int timeoutMs = 5000) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!pred()) {
      if (Clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
  }

  std::unique_ptr<CTXSocket> session_;
  std::unique_ptr<SocketSender> sender_;
  int drainedProbes_ = 0;
};

// Every complete line waiting is cut in the one cycle that finds it, in
// order: a handful of cycles at most, where one line a cycle would take as
// many cycles as lines.
TEST_F(SessionThreadsTest, ABurstIsCutInOneCycleInOrder) {
  LoopbackPeer peer("127.0.0.155");
  openConnected(peer, "127.0.0.155");
  for (const int lines : {2, 500, 5000}) {
    SCOPED_TRACE(lines);
    std::string burst;
    for (int i = 0; i < lines; ++i)
      burst += "#TMAAA:BBB:" + std::to_string(i) + "\r\n";
    const int before = session_->cycles();
    ASSERT_TRUE(peer.send(burst));
    ASSERT_TRUE(waitUntil([&] { return incomingCount() >= lines; }));
    const int cycles = session_->cycles() - before;
    RecordProperty("cycles_for_" + std::to_string(lines), cycles);
    // The cycle under way may have looked already; the next one cuts it.
    // Scheduling of this thread may let a few more begin meanwhile.
    EXPECT_LE(cycles, 5);
    const std::vector<std::string> texts = drainIncoming();
    ASSERT_EQ(texts.size(), static_cast<std::size_t>(lines));
    for (int i = 0; i < lines; ++i)
      ASSERT_EQ(texts[i], "#TMAAA:BBB:" + std::to_string(i));
    EXPECT_EQ(session_->droppedIncoming(), 0);
  }
}

// A queue with room for n lines takes the n oldest of a burst, in order,
// and drops nothing it had room for. Lines beyond its room are dropped one
// a cycle and counted, as a full queue always did.
TEST_F(SessionThreadsTest, AQueueAtItsRoomLosesNothingItHasRoomFor) {
  LoopbackPeer peer("127.0.0.156");
  openConnected(peer, "127.0.0.156");
  constexpr int kRoom = 5;
  for (const int extra : {0, 1, 3, 20}) {
    SCOPED_TRACE(extra);
    {
      platform::LockGuard hold(IncomingLock());
      while (session_->incoming().count() < PacketQueue::kSlots - kRoom)
        session_->incoming().push(new Packet("#DLfiller"));
    }
    std::string burst;
    for (int i = 0; i < kRoom + extra; ++i)
      burst += "#TMAAA:BBB:" + std::to_string(i) + "\r\n";
    const int cyclesBefore = session_->cycles();
    ASSERT_TRUE(peer.send(burst));
    ASSERT_TRUE(waitUntil(
        [&] {
          return incomingCount() == PacketQueue::kSlots &&
                 session_->droppedIncoming() == extra;
        },
        10000));
    // Each cycle drops at most the one line it reads into a full queue; the
    // rest wait on the socket meanwhile.
    EXPECT_GE(session_->cycles() - cyclesBefore, extra);
    // Some cycles later nothing more has gone.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(session_->takeDroppedIncoming(), extra);
    const std::vector<std::string> texts = drainIncoming();
    ASSERT_EQ(texts.size(), static_cast<std::size_t>(PacketQueue::kSlots));
    for (int i = 0; i < kRoom; ++i)
      EXPECT_EQ(texts[PacketQueue::kSlots - kRoom + i],
                "#TMAAA:BBB:" + std::to_string(i));
  }
}

TEST_F(SessionThreadsTest, LineEndsAndPiecesOfLongLines) {
  LoopbackPeer peer("127.0.0.101");
  openConnected(peer, "127.0.0.101");

  // CR LF split across two reads: the CR waits with its line for the LF.
  ASSERT_TRUE(peer.send("$PIXYZ:ABC:7\r"));
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_EQ(incomingCount(), 0);
  ASSERT_TRUE(peer.send("\n"));
  EXPECT_EQ(receive(1), std::vector<std::string>{"$PIXYZ:ABC:7"});

  // A lone LF ends the line and stays its last character.
  ASSERT_TRUE(peer.send("@N:ABC\n"));
  EXPECT_EQ(receive(1), std::vector<std::string>{"@N:ABC\n"});

  // A line cut by the network mid-way is delivered whole.
  ASSERT_TRUE(peer.send("#TMAAA:BBB:hel"));
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_EQ(incomingCount(), 0);
  ASSERT_TRUE(peer.send("lo\r\n"));
  EXPECT_EQ(receive(1), std::vector<std::string>{"#TMAAA:BBB:hello"});

  // 3000 bytes without a line end come as pieces of at most 1023.
  const std::string longLine = "#" + std::string(2999, 'x');
  ASSERT_TRUE(peer.send(longLine + "\r\n"));
  const std::vector<std::string> pieces = receive(3);
  ASSERT_EQ(pieces.size(), 3u);
  EXPECT_EQ(pieces[0], longLine.substr(0, 1023));
  EXPECT_EQ(pieces[1], longLine.substr(1023, 1023));
  EXPECT_EQ(pieces[2], longLine.substr(2046));

  // All of this in one burst: lines, a long run cut at 1023 and a line whose
  // end has not come yet, which waits whole for it.
  ASSERT_TRUE(peer.send("#TMA:B:1\r\n" + longLine.substr(0, 1500) +
                        "\r\n@N:ABC\n#TMA:B:par"));
  EXPECT_EQ(receive(4),
            (std::vector<std::string>{"#TMA:B:1", longLine.substr(0, 1023),
                                      longLine.substr(1023, 477), "@N:ABC\n"}));
  std::this_thread::sleep_for(std::chrono::milliseconds(150));
  EXPECT_EQ(incomingCount(), 0);
  ASSERT_TRUE(peer.send("tial\r\n#TMA:B:2\r\n"));
  EXPECT_EQ(receive(2),
            (std::vector<std::string>{"#TMA:B:partial", "#TMA:B:2"}));
}

TEST_F(SessionThreadsTest, SenderWritesEachLineWithCrLfAndRemembersIt) {
  LoopbackPeer peer("127.0.0.102");
  openConnected(peer, "127.0.0.102");
  send("#APABC:SERVER:123:pw:1:9:3:Jo Lee KSFO");
  send("$PIABC:XYZ:1");
  send("@N:ABC:1200");
  EXPECT_EQ(peer.readLine(), "#APABC:SERVER:123:pw:1:9:3:Jo Lee KSFO");
  EXPECT_EQ(peer.readLine(), "$PIABC:XYZ:1");
  EXPECT_EQ(peer.readLine(), "@N:ABC:1200");
  EXPECT_EQ(peer.raw(),
            "#APABC:SERVER:123:pw:1:9:3:Jo Lee KSFO\r\n$PIABC:XYZ:1\r\n"
            "@N:ABC:1200\r\n");
  platform::LockGuard hold(OutgoingLock());
  EXPECT_EQ(sender_->lastSentLine(), "@N:ABC:1200");
  EXPECT_EQ(session_->outgoing().count(), 0);
}

// Requests queued first still leave after the lines, in their own order,
// one per cycle like every line.
TEST_F(SessionThreadsTest, SenderWritesTheLinesBeforeTheRequests) {
  LoopbackPeer peer("127.0.0.164");
  ASSERT_TRUE(peer.listening());
  session_ = std::make_unique<CTXSocket>(ost::IPV4Host("127.0.0.164"));
  sender_ = std::make_unique<SocketSender>(session_.get());
  session_->startReceiver();
  ASSERT_TRUE(peer.accept());
  ASSERT_TRUE(waitUntil([&] { return session_->connected(); }));
  for (const char* request :
       {"#TXABC:P1:PIR", "#TXABC:P1:VIR", "#TXABC:P2:PIR"})
    ASSERT_TRUE(session_->queueRequest(new Packet(request)));
  send("@N:ABC:1200");
  send("#TMABC:@22800:hi");
  const auto start = Clock::now();
  sender_->startSending();
  for (const char* expected :
       {"@N:ABC:1200", "#TMABC:@22800:hi", "#TXABC:P1:PIR", "#TXABC:P1:VIR",
        "#TXABC:P2:PIR"})
    EXPECT_EQ(peer.readLine(), expected);
  // Five lines take at least four pauses between them.
  EXPECT_GE(Clock::now() - start,
            std::chrono::milliseconds(4 * SocketSender::kPauseMs));
  platform::LockGuard hold(OutgoingLock());
  EXPECT_EQ(sender_->lastSentLine(), "#TXABC:P2:PIR");
  EXPECT_EQ(session_->outgoing().count(), 0);
}

TEST_F(SessionThreadsTest, RefusedOrUnresolvableServerLeavesADeadSession) {
  for (const char* address : {"127.0.0.103", "999.1.1.1"}) {
    SCOPED_TRACE(address);
    open(address);  // nobody listens there
    send("#APABC:SERVER:123:pw:1:9:3:Jo Lee KSFO");
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(session_->connected());
    EXPECT_FALSE(session_->isConnected());
    {
      // A dead session writes nothing: the line is still queued.
      platform::LockGuard hold(OutgoingLock());
      EXPECT_EQ(session_->outgoing().count(), 1);
    }
    sender_.reset();
    session_.reset();
  }
}

TEST_F(SessionThreadsTest, StoppingEndsBothWorkersWithinOnePause) {
  LoopbackPeer peer("127.0.0.104");
  openConnected(peer, "127.0.0.104");
  const auto start = Clock::now();
  sender_.reset();
  session_.reset();
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      Clock::now() - start);
  RecordProperty("stop_ms", static_cast<int>(took.count()));
  // One pause of each, plus scheduling; far from a hang.
  EXPECT_LT(took.count(), 1000);
  EXPECT_TRUE(peer.waitForClose());
}

TEST_F(SessionThreadsTest, AServerThatStopsReadingDoesNotHangTheStop) {
  LoopbackPeer peer("127.0.0.105", 4096);
  openConnected<SmallSendBufferSession>(peer, "127.0.0.105");
  const std::string filler(1000, 'f');
  constexpr int kLines = 60;  // some 60 kB: far more than both buffers take
  const auto line = [&](int i) { return "#TM" + std::to_string(i) + filler; };
  // Once the socket can take no more, the receiver waits for output room
  // and stops reading: the peer's probes are no longer picked up.
  const auto fillUntilStuck = [&](int first) {
    for (int i = first; i < first + kLines; ++i) send(line(i));
    int probes = 0;
    bool stuck = false;
    const auto deadline = Clock::now() + std::chrono::seconds(20);
    while (!stuck && Clock::now() < deadline) {
      if (!peer.send("#DLPROBE\r\n")) return false;
      ++probes;
      std::this_thread::sleep_for(std::chrono::milliseconds(300));
      stuck = incomingCount() + drainedProbes_ < probes;
      drainedProbes_ += static_cast<int>(drainIncoming().size());
    }
    RecordProperty("probes_before_stuck", probes);
    return stuck;
  };
  ASSERT_TRUE(fillUntilStuck(0)) << "the peer's buffers never filled";
  // Without room each cycle is one bounded wait, and the next begins at once:
  // a pause after it as well would allow at most half as many.
  const int before = session_->cycles();
  std::this_thread::sleep_for(std::chrono::seconds(1));
  const int paced = 1000 / (CTXSocket::kOutputWaitMs + CTXSocket::kPauseMs);
  EXPECT_GT(session_->cycles() - before, 2 * paced);
  // A full send buffer is no broken link, and no line is lost to it: once
  // the peer reads again every line arrives whole, once and in order.
  EXPECT_FALSE(session_->writeBroken());
  EXPECT_FALSE(session_->lost());
  for (int i = 0; i < kLines; ++i) ASSERT_EQ(peer.readLine(), line(i));
  EXPECT_FALSE(peer.readLine(200).has_value());

  ASSERT_TRUE(fillUntilStuck(kLines));
  const auto start = Clock::now();
  sender_.reset();
  session_.reset();
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      Clock::now() - start);
  RecordProperty("stop_ms", static_cast<int>(took.count()));
  EXPECT_LT(took.count(), 100);  // what Disconnect does, so it returns at once
}

TEST_F(SessionThreadsTest, QueuesAreDiscardedWithTheSession) {
  LoopbackPeer peer("127.0.0.106");
  openConnected(peer, "127.0.0.106");
  // Lines that have not been handled or sent go with the session, and the
  // packets are freed (the sanitizer build checks the latter).
  ASSERT_TRUE(peer.send("#DLONE\r\n#DLTWO\r\n#DLTHREE\r\n"));
  ASSERT_TRUE(waitUntil([&] { return incomingCount() >= 1; }));
  for (int i = 0; i < 500; ++i) send("@N:ABC:" + std::to_string(i));
  sender_.reset();
  session_.reset();
  ASSERT_TRUE(peer.waitForClose());
  // The sender wrote no more than one line per cycle before it stopped.
  EXPECT_LT(peer.raw().size(), 500u * 10u);
}

}  // namespace
}  // namespace talvix
