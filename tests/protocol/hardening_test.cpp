// The plug-in's code in the stand-in host's model with a real session on
// loopback: what the user is told when a queue overflows, what an empty
// queue costs the receiver, hostile numbers in control lines, server error
// 0 and history posts from a second thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "atc/com_tracking.h"
#include "atc/stations.h"
#include "core/text.h"
#include "net/ctx_socket.h"
#include "net/dropped_lines.h"
#include "net/packet.h"
#include "net/queue_locks.h"
#include "net/session.h"
#include "net/session_state.h"
#include "protocol/alerts.h"
#include "protocol/dispatch.h"
#include "protocol/handlers.h"
#include "protocol/own_aircraft.h"
#include "tests/net/loopback_peer.h"
#include "tests/support/failing_allocation.h"
#include "tests/traffic/direct_host.h"
#include "traffic/traffic_table.h"
#include "ui/history.h"
#include "ui/main_window_menus.h"
#include "ui/shared_values.h"
#include "ui/window_codes.h"

namespace talvix {
namespace {

using testing::LoopbackPeer;

constexpr int kQueueSlots = 10240;
// The alert as the user reads it, byte for byte.
constexpr char kNoMemoryAlert[] =
    "Talvix : Fatal Memory Allocation Error, Please Close Fly! NOW and free "
    "some resources ! ";

class HardeningTest : public testing::DirectHostTest {
 protected:
  void SetUp() override {
    DirectHostTest::SetUp();
    CreateQueueLocks();
  }
  void TearDown() override {
    Session().session = nullptr;
    session_.reset();
    DirectHostTest::TearDown();
  }
  // A connected session without a sender, so nothing drains the outgoing
  // queue, made the current one.
  void connect(LoopbackPeer& peer, const char* address) {
    ASSERT_TRUE(peer.listening());
    session_ = std::make_unique<CTXSocket>(ost::IPV4Host(address));
    session_->startReceiver();
    ASSERT_TRUE(peer.accept());
    ASSERT_TRUE(waitUntil([&] { return session_->connected(); }));
    Session().session = session_.get();
  }
  template <typename Pred>
  bool waitUntil(Pred pred) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!pred()) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
  }
  void handle(void (*handler)(Packet*), const char* text) {
    Packet packet(text);
    handler(&packet);
  }
  int count(const std::string& line) const {
    const std::vector<std::string> rows = history();
    return static_cast<int>(std::count(rows.begin(), rows.end(), line));
  }

  std::unique_ptr<CTXSocket> session_;
};

TEST_F(HardeningTest, AnEmptyIncomingQueueTakesNoLock) {
  LoopbackPeer peer("127.0.0.83");
  connect(peer, "127.0.0.83");
  std::mutex m;
  std::condition_variable changed;
  bool held = false, release = false;
  std::thread holder([&] {
    platform::LockGuard hold(IncomingLock());
    std::unique_lock<std::mutex> lock(m);
    held = true;
    changed.notify_all();
    changed.wait(lock, [&] { return release; });
  });
  {
    std::unique_lock<std::mutex> lock(m);
    changed.wait(lock, [&] { return held; });
  }
  auto call = std::async(std::launch::async, [] { handleIncomingMessage(); });
  EXPECT_EQ(call.wait_for(std::chrono::seconds(2)), std::future_status::ready);
  {
    std::lock_guard<std::mutex> lock(m);
    release = true;
  }
  changed.notify_all();
  holder.join();
}

TEST_F(HardeningTest, AFullOutgoingQueueSendsNothingAndSaysSoOnce) {
  LoopbackPeer peer("127.0.0.84");
  connect(peer, "127.0.0.84");
  for (int i = 0; i < kQueueSlots; ++i)
    ASSERT_TRUE(QueueIfSession(new Packet("#TMABC:XYZ:filler")));
  handle(handlePI, "$PIXYZ:ABC:1");
  handle(handlePI, "$PIXYZ:*:2");
  EXPECT_EQ(count("PONG Sent"), 0);
  handleIncomingMessage();  // still full: nothing to say yet
  EXPECT_TRUE(history().empty());

  {
    platform::LockGuard hold(OutgoingLock());
    delete session_->outgoing().pop();
  }
  handleIncomingMessage();
  handleIncomingMessage();
  EXPECT_EQ(history(), std::vector<std::string>{
                           "Outgoing queue full: 2 lines not sent to the "
                           "server."});
  // Queued now, but nothing writes here: "PONG Sent" waits for the write.
  handle(handlePI, "$PIXYZ:ABC:3");
  EXPECT_EQ(session_->outgoing().count(), kQueueSlots);
  EXPECT_EQ(count("PONG Sent"), 0);
}

// The plug-in's own type requests have a lane of their own: a full one
// takes no room from the pong, drops exactly what finds no room and says so
// once its own room is back, not when a line leaves.
TEST_F(HardeningTest, AFullRequestLaneDropsExactlyWhatFindsNoRoom) {
  LoopbackPeer peer("127.0.0.165");
  connect(peer, "127.0.0.165");
  MPDistance() = 2147483647;
  for (int i = 0; i < kQueueSlots; ++i)
    ASSERT_TRUE(QueueRequestIfSession(new Packet("#TXABC:XYZ:PIR")));
  EXPECT_FALSE(QueueRequestIfSession(new Packet("#TXABC:XYZ:VIR")));
  handle(handlePI, "$PIXYZ:ABC:1");
  EXPECT_EQ(count("PONG Sent"), 0);  // queued, not written
  const auto pop = [&] {
    platform::LockGuard hold(OutgoingLock());
    std::unique_ptr<Packet> packet(session_->outgoing().pop());
    return std::string(packet ? packet->text() : "");
  };
  EXPECT_EQ(pop(), "$POABC:XYZ:1");
  handleIncomingMessage();  // the requests are still full
  EXPECT_EQ(count("Outgoing queue full: 1 line not sent to the server."), 0);
  EXPECT_EQ(pop(), "#TXABC:XYZ:PIR");
  handleIncomingMessage();
  EXPECT_EQ(count("Outgoing queue full: 1 line not sent to the server."), 1);

  // Room for one: a new pilot's type request finds it, its version request
  // does not.
  handle(handleAT, "@N:NEW1:1200:1:0.0:10.0:3000:120:0:0");
  ASSERT_NE(FindTraffic("NEW1"), nullptr);
  EXPECT_EQ(session_->outgoing().lane(OutgoingQueue::kRequests).count(),
            kQueueSlots);
  handleIncomingMessage();
  EXPECT_EQ(count("Outgoing queue full: 1 line not sent to the server."), 1);
  for (int i = 0; i < kQueueSlots - 1; ++i)
    ASSERT_EQ(pop(), "#TXABC:XYZ:PIR") << i;
  EXPECT_EQ(pop(), "#TXABC:NEW1:PIR");
  EXPECT_EQ(pop(), "");
  handleIncomingMessage();
  EXPECT_EQ(count("Outgoing queue full: 1 line not sent to the server."), 2);
  EXPECT_EQ(history(),
            (std::vector<std::string>{
                "Outgoing queue full: 1 line not sent to the server.",
                "Outgoing queue full: 1 line not sent to the server."}));
}

// A server that never reads again: the queue never has room, so the count
// comes when the session ends, after the line that says so.
TEST_F(HardeningTest, AQueueStillFullAtDisconnectSaysHowManyLinesWereLost) {
  LoopbackPeer peer("127.0.0.235");
  connect(peer, "127.0.0.235");
  for (int i = 0; i < kQueueSlots + 3; ++i)
    QueueIfSession(new Packet("@N:ABC:1200:1:37.6:-122.3:3000:120:0:0"));
  handleIncomingMessage();
  EXPECT_TRUE(history().empty());
  Session().session = session_.release();  // Disconnect deletes it
  OnConnectionMenu(codes::kItemDisconnect);
  EXPECT_EQ(history(), (std::vector<std::string>{
                           "Disconnected.",
                           "Outgoing queue full: 3 lines not sent to the "
                           "server."}));
}

// A kill from the server ends the session the same way: the count comes
// after the line that names who removed us.
TEST_F(HardeningTest, AQueueStillFullAtAKillSaysHowManyLinesWereLost) {
  LoopbackPeer peer("127.0.0.236");
  connect(peer, "127.0.0.236");
  for (int i = 0; i < kQueueSlots + 1; ++i)
    QueueIfSession(new Packet("@N:ABC:1200:1:37.6:-122.3:3000:120:0:0"));
  Session().session = session_.release();  // the kill deletes it
  handle(handleKILL, "$!!SERVER:ABC:flooding");
  EXPECT_EQ(history(), (std::vector<std::string>{
                           "You have been removed by: flooding",
                           "Outgoing queue full: 1 line not sent to the "
                           "server."}));
}

// An ATIS request that finds no room is not sent, so no answer is awaited
// and the tuned station stays; with room again the same switch asks.
TEST_F(HardeningTest, AnAtisRequestWithoutRoomAwaitsNoAnswer) {
  LoopbackPeer peer("127.0.0.238");
  connect(peer, "127.0.0.238");
  ClearAtisRequested();
  AtcStation tower{};
  CopyText(tower.callsign, "XYZ_TWR");
  tower.frequency = 118.15f;
  for (int i = 0; i < kQueueSlots; ++i)
    ASSERT_TRUE(QueueIfSession(new Packet("#TMABC:XYZ:filler")));
  const std::string tunedBefore = TunedStation().callsign;
  SwitchToStation(&tower, false);
  EXPECT_FALSE(AtisRequested());
  EXPECT_EQ(TunedStation().callsign, tunedBefore);
  EXPECT_EQ(count("====> switched to XYZ_TWR on 118.150 (expect ATIS)"), 0);
  {
    platform::LockGuard hold(OutgoingLock());
    delete session_->outgoing().pop();
  }
  SwitchToStation(&tower, false);
  EXPECT_TRUE(AtisRequested());
  EXPECT_STREQ(TunedStation().callsign, "XYZ_TWR");
  ClearAtisRequested();
}

// No memory for the report: the user is told, and nothing is queued.
TEST_F(HardeningTest, NoMemoryForThePositionReportIsTold) {
  LoopbackPeer peer("127.0.0.237");
  connect(peer, "127.0.0.237");
  {
    testing::FailingNothrowAllocation failing(0);
    handlePositionUpdate();
    EXPECT_TRUE(failing.failed());
  }
  EXPECT_EQ(state().alerts, std::vector<std::string>{kNoMemoryAlert});
  // No memory for a pong either: told the same way, nothing sent or posted.
  {
    testing::FailingNothrowAllocation failing(0);
    handle(handlePI, "$PIXYZ:ABC:1");
    EXPECT_TRUE(failing.failed());
  }
  EXPECT_EQ(state().alerts, std::vector<std::string>(2, kNoMemoryAlert));
  EXPECT_EQ(count("PONG Sent"), 0);
  platform::LockGuard hold(OutgoingLock());
  EXPECT_EQ(session_->outgoing().count(), 0);
}

// Only an AutoPopup setting other than 0 brings the main window forward;
// without the setting it stays where it is.
TEST_F(HardeningTest, AlertsRaiseTheMainWindowOnlyWithAutoPopupOn) {
  const auto raises = [&] { return state().windows.at(FourCC("txMN")).raises; };
  const int before = raises();
  AlertUser();
  EXPECT_EQ(raises(), before);
  for (const auto& [value, raised] :
       {std::pair{"0", 0}, {"1", 1}, {"2", 1}, {"-1", 1}}) {
    model_->setSetting("Talvix", "AutoPopup", value);
    const int now = raises();
    AlertUser();
    EXPECT_EQ(raises(), now + raised) << value;
  }
}

TEST_F(HardeningTest, AFullIncomingQueueSaysOnceHowManyLinesWereDropped) {
  LoopbackPeer peer("127.0.0.233");
  connect(peer, "127.0.0.233");
  {
    platform::LockGuard hold(IncomingLock());
    for (int i = 0; i < kQueueSlots; ++i)
      ASSERT_TRUE(session_->incoming().push(new Packet("#DLfiller")));
  }
  ASSERT_TRUE(
      peer.send("$ERserver:ABC:1:x\r\n$ERserver:ABC:1:x\r\n"
                "$ERserver:ABC:1:x\r\n"));
  ASSERT_TRUE(waitUntil([&] { return session_->droppedIncoming() == 3; }));
  ASSERT_TRUE(peer.send("$ERserver:ABC:2:x\r\n"));
  for (int i = 0; i < kQueueSlots; ++i) handleIncomingMessage();
  ASSERT_TRUE(waitUntil([&] {
    handleIncomingMessage();
    return count("Error: Invalid Callsign") == 1;
  }));
  EXPECT_EQ(history(), (std::vector<std::string>{
                           "Incoming queue full: 3 lines received from the "
                           "server dropped.",
                           "Error: Invalid Callsign"}));
}

// No count, no line; one line in the singular; the incoming count first.
TEST_F(HardeningTest, DroppedLinesAreCountedInWords) {
  ReportDroppedLines({0, 0});
  EXPECT_TRUE(history().empty());
  ReportDroppedLines({1, 0});
  ReportDroppedLines({0, 1});
  ReportDroppedLines({2, 5});
  EXPECT_EQ(history(),
            (std::vector<std::string>{
                "Incoming queue full: 1 line received from the server "
                "dropped.",
                "Outgoing queue full: 1 line not sent to the server.",
                "Incoming queue full: 2 lines received from the server "
                "dropped.",
                "Outgoing queue full: 5 lines not sent to the server."}));
}

// The lines waiting are handled oldest first, at most 64 in one call, and
// no further line once the call's time is spent (but always one).
TEST_F(HardeningTest, EachCallHandlesTheWaitingLinesInOrderUpToItsBound) {
  LoopbackPeer peer("127.0.0.157");
  connect(peer, "127.0.0.157");
  constexpr int kLines = 150;
  std::string burst;
  for (int i = 0; i < kLines; ++i)
    burst += "#TMXYZ:*:line " + std::to_string(i) + "\r\n";
  ASSERT_TRUE(peer.send(burst));
  const auto waiting = [&] { return session_->incoming().count(); };
  ASSERT_TRUE(waitUntil([&] { return waiting() == kLines; }));

  // The live call stops at its bound of lines, or sooner once its time is
  // spent (a slow machine or a sanitizer build), but always handles a few.
  handleIncomingMessage();
  const int first = kLines - waiting();
  EXPECT_GE(first, kIncomingLinesBeforeTimeCheck);
  EXPECT_LE(first, kIncomingLinesPerCall);
  EXPECT_EQ(history().size(), static_cast<std::size_t>(first));
  // A spent time still handles the first few lines; with time to spare, a
  // bound of lines stops exactly at it.
  EXPECT_EQ(handleIncomingMessages(kLines, std::chrono::nanoseconds(0)),
            kIncomingLinesBeforeTimeCheck);
  EXPECT_EQ(
      handleIncomingMessages(kIncomingLinesPerCall, std::chrono::seconds(5)),
      kIncomingLinesPerCall);
  EXPECT_EQ(
      handleIncomingMessages(kLines, std::chrono::seconds(5)),
      kLines - first - kIncomingLinesBeforeTimeCheck - kIncomingLinesPerCall);
  EXPECT_EQ(handleIncomingMessages(kLines, std::chrono::seconds(5)), 0);
  const std::vector<std::string> rows = history();
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(kLines));
  for (int i = 0; i < kLines; ++i)
    EXPECT_EQ(rows[i], "line " + std::to_string(i));
}

TEST_F(HardeningTest, HostilePongTimesAndServerErrorZero) {
  const std::string buggy =
      "Talvix for FS2000 is BUGGY! Can't respond to PING properly.";
  for (const char* line :
       {"$POXYZ:ABC:99999999999:99999999999:99999999999",
        "$POXYZ:ABC:-2147483648:0:0", "$POXYZ:ABC:24:0:0", "$POXYZ:ABC:0:60:0",
        "$POXYZ:ABC:0:0:61", "$POXYZ:ABC:-1:0:0", "$POXYZ:ABC:0:-1:0",
        "$POXYZ:ABC:0:0:-1", "$POXYZ:ABC:0x10:0:0", "$POXYZ:ABC:23:59:60"}) {
    handle(handlePO, line);
  }
  // Hour 0x10 reads as 0, a time of day, and 23:59:60 is the last one (a
  // leap second); the others are not one.
  EXPECT_EQ(notices(buggy), 8);
  ASSERT_EQ(history().size(), 2u);
  for (const std::string& row : history())
    EXPECT_NE(row.find(" seconds to receive PONG"), std::string::npos);

  // Error 0 is the table's empty entry: an empty line, then the alert.
  const auto rows = [&] { return find(state(), "txMN", "hist")->rows; };
  const std::size_t before = rows().size();
  handle(handleER, "$ERserver:ABC:0:x");
  ASSERT_EQ(rows().size(), before + 1);
  EXPECT_EQ(rows().back()[0], "");
  int alerts = 0;
  for (const auto& sound : state().sounds) alerts += sound.file == "MYATTN.WAV";
  EXPECT_EQ(alerts, 1);
}

TEST_F(HardeningTest, HistoryPostsFromAWorkerStayWholeAndInOrder) {
  constexpr int kEach = 100;  // two posters fill the 200 lines exactly
  std::thread worker([] {
    for (int i = 0; i < kEach; ++i)
      AddHistoryLine(("worker " + std::to_string(i)).c_str());
  });
  for (int i = 0; i < kEach; ++i)
    AddHistoryLine(("idle " + std::to_string(i)).c_str());
  worker.join();
  const std::vector<std::string> rows = history();
  ASSERT_EQ(rows.size(), 2u * kEach);
  int next[2] = {0, 0};
  for (const std::string& row : rows) {
    const bool fromWorker = row.rfind("worker ", 0) == 0;
    const int poster = fromWorker ? 0 : 1;
    EXPECT_EQ(row, (fromWorker ? "worker " : "idle ") +
                       std::to_string(next[poster]++));
  }
  EXPECT_EQ(next[0], kEach);
  EXPECT_EQ(next[1], kEach);
}

}  // namespace
}  // namespace talvix
