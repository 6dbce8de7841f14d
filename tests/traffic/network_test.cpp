// The traffic and own-aircraft lines on a real loopback connection: the
// stand-in host runs the real plug-in, a peer plays the network.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "core/fourcc.h"
#include "sim/host_model.h"
#include "tests/support/plugin_fixture.h"
#include "tests/traffic/loopback_peer.h"

namespace talvix {
namespace {

using Lines = std::vector<std::string>;

class NetworkTest : public testing::PluginTest {
 protected:
  // The simulator's folder is its working directory: the plug-in opens
  // "CSL_ICAO.csv" by its relative name.
  void SetUp() override {
    previousDirectory_ = std::filesystem::current_path();
    PluginTest::SetUp();
    std::filesystem::current_path(root_);
  }
  // Connects as ABC to a peer on address; chooses the row whose Csl is
  // csl first, or leaves the aircraft unchosen when csl is empty.
  void connect(const char* address, const std::string& csl) {
    peer_ = std::make_unique<testing::LoopbackPeer>(address);
    ASSERT_TRUE(peer_->listening()) << address;
    host().model().setSetting("Talvix", "Callsign", "ABC");
    host().model().setSetting("Talvix", "Username", "123456");
    host().model().setSetting("Talvix", "Firstname", "FIRST");
    host().model().setSetting("Talvix", "Lastname", "LAST");
    host().model().setSetting("Talvix", "MPDistance", "40");
    openMainWindow();
    pick("txMN", "cnmn", "conn");
    ASSERT_TRUE(isOpen("txAC"));
    if (csl.empty()) {
      ASSERT_TRUE(host().userClose(FourCC("txAC")));
    } else {
      ASSERT_NO_FATAL_FAILURE(chooseRow(csl));
    }
    host().model().addPopupItem(static_cast<int>(FourCC("txCN")),
                                static_cast<int>(FourCC("ipMN")), 77, address);
    select("txCN", "ipMN", 77);
    event("txCN", "okBn", "actn");
    ASSERT_TRUE(waitFor([&] {
      return !peer_->linesStartingWith("#AP").empty();
    })) << "no login line";
  }
  void chooseRow(const std::string& csl) {
    const auto rows = control("txAC", "list")->rows;
    for (std::size_t i = 0; i < rows.size(); ++i) {
      if (rows[i].size() > 1 && rows[i][1] == csl) {
        host().model().listSelectRow(static_cast<int>(FourCC("txAC")),
                                     static_cast<int>(FourCC("list")),
                                     static_cast<int>(i));
        event("txAC", "slBn", "actn");
        ASSERT_FALSE(isOpen("txAC"));
        return;
      }
    }
    FAIL() << "no row " << csl;
  }
  // Idle calls of dt simulated seconds, with a short real pause between
  // them for the worker threads, until done() or the time is up.
  bool waitFor(const std::function<bool()>& done, float dt = 0.05f,
               double realSeconds = 15.0) {
    auto until = std::chrono::steady_clock::now() +
                 std::chrono::duration<double>(realSeconds);
    while (std::chrono::steady_clock::now() < until) {
      host().idleOnce(dt);
      if (done()) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return done();
  }
  // Sends a line and idles until the peer has count lines with prefix.
  Lines answers(const std::string& line, const std::string& prefix,
                std::size_t count) {
    std::size_t before = peer_->linesStartingWith(prefix).size();
    peer_->send(line);
    waitFor([&] {
      return peer_->linesStartingWith(prefix).size() >= before + count;
    });
    Lines all = peer_->linesStartingWith(prefix);
    return Lines(all.begin() + static_cast<long>(std::min(before, all.size())),
                 all.end());
  }
  void TearDown() override {
    if (sim_ && isOpen("txMN")) pick("txMN", "cnmn", "disc");
    peer_.reset();
    std::filesystem::current_path(previousDirectory_);
    PluginTest::TearDown();
  }
  int objectsNamed(const std::string& name) const {
    int n = 0;
    for (const auto& o : state().objects) n += o.names[0] == name;
    return n;
  }

  std::unique_ptr<testing::LoopbackPeer> peer_;
  std::filesystem::path previousDirectory_;
};

TEST_F(NetworkTest, TheOwnPositionGoesOutEveryFiveSeconds) {
  host().model().modify([](sim::HostState& s) {
    s.user.position = {48.3534 * 3600, (360 - 122.3092) * 3600, 3500};
    s.user.speed = 100.0f;
    s.user.orientation = {0, 1.5707963267948966, 0};
    s.user.transponder.mode = 6;
    s.user.transponder.reply = 1;
    s.user.transponder.code = 1200;
  });
  ASSERT_NO_FATAL_FAILURE(connect("127.0.0.150", "B738"));
  const std::string expected =
      "@Y:ABC:1200:1:48.35340:-122.30920:3500:59:1020:0";
  ASSERT_TRUE(waitFor([&] { return peer_->linesStartingWith("@").size() >= 2; },
                      0.25f));
  EXPECT_EQ(peer_->linesStartingWith("@"), Lines(2, expected));
  EXPECT_EQ(control("txMN", "modT")->text, "Mode C");
  // About every five seconds of idle time: twenty idle calls of 0.25 s
  // make exactly one more report.
  for (int i = 0; i < 20; ++i) host().idleOnce(0.25f);
  waitFor([&] { return peer_->linesStartingWith("@").size() >= 3; }, 0.0f, 2.0);
  EXPECT_EQ(peer_->linesStartingWith("@").size(), 3u);
}

TEST_F(NetworkTest, APilotIsAddedTypedAndAgedOut) {
  host().model().modify([](sim::HostState& s) {
    s.user.position = {48.3534 * 3600, (360 - 122.3092) * 3600, 3500};
  });
  ASSERT_NO_FATAL_FAILURE(connect("127.0.0.151", "B738"));
  Lines requests =
      answers("@N:PIL1:1200:1:48.36:-122.30:3500:120:1024:0", "#TX", 2);
  EXPECT_EQ(requests, (Lines{"#TXABC:PIL1:PIR", "#TXABC:PIL1:VIR"}));
  ASSERT_EQ(objectsNamed("PIL1"), 1);
  EXPECT_EQ(state().objects[0].model, "tvox\\C172.tvx");
  EXPECT_EQ(notices("Added: PIL1"), 1);
  EXPECT_EQ(control("txMN", "spMg")->items.back().text, "PIL1");

  peer_->send("#TXPIL1:ABC:PI:X:0:1:~B738");
  ASSERT_TRUE(
      waitFor([&] { return notices("Changed PIL1 to type: B738") == 1; }));
  ASSERT_EQ(state().objects.size(), 1u);
  EXPECT_EQ(state().objects[0].model, "tvox\\B738.tvx");

  const std::string gone = "Removing acft: PIL1 (not responding)";
  auto removed = [&] {
    for (const auto& line : history()) {
      if (line == gone) return true;
    }
    return false;
  };
  // Seven ticks later it is still there, the eighth removes it.
  ASSERT_TRUE(waitFor(removed, 1.0f, 30.0));
  EXPECT_EQ(objectsNamed("PIL1"), 0);
  EXPECT_EQ(control("txMN", "spMg")->items.size(), 1u);  // "------" only
  EXPECT_TRUE(state().objects.empty());

  // A pilot heard again after its removal comes back as a new pilot with
  // one object, the removed one staying gone.
  answers("@N:PIL1:1200:1:48.36:-122.30:3500:120:1024:0", "#TX", 2);
  EXPECT_EQ(objectsNamed("PIL1"), 1);
  EXPECT_EQ(state().objects.size(), 1u);
  EXPECT_EQ(notices("Added: PIL1"), 2);
}

TEST_F(NetworkTest, ClientQueriesAreAnsweredByteForByte) {
  host().model().modify([](sim::HostState& s) { s.user.com1 = 118.30f; });
  ASSERT_NO_FATAL_FAILURE(connect("127.0.0.152", "B738"));
  EXPECT_EQ(answers("$CQXYZ:ABC:C?", "$CR", 1), Lines{"$CRABC:XYZ:C?:118.300"});
  host().model().modify([](sim::HostState& s) { s.user.com1 = 122.8f; });
  EXPECT_EQ(answers("$CQXYZ:*:C?", "$CR", 1), Lines{"$CRABC:XYZ:C?:122.800"});
  // The query is known by its first two characters.
  EXPECT_EQ(answers("$CQXYZ:ABC:C?X", "$CR", 1),
            Lines{"$CRABC:XYZ:C?:122.800"});

  Lines info = answers("$CQXYZ:ABC:INFO", "#TM", 1);
  ASSERT_EQ(info.size(), 1u);
  const std::string head = "#TMABC:XYZ:PID= 123456 V3.1 IP=";
  const std::string tail =
      " (" + peer_->clientAddress() + ") FSVER=Fly!2 (FIRST LAST)";
  EXPECT_EQ(info[0].compare(0, head.size(), head), 0) << info[0];
  ASSERT_GT(info[0].size(), head.size() + tail.size());
  EXPECT_EQ(info[0].substr(info[0].size() - tail.size()), tail) << info[0];

  // Not for us, or not a query we know: no answer. The line after them is
  // answered first.
  peer_->send("$CQXYZ:abc:C?");
  peer_->send("$CQXYZ:DEF:INF");
  peer_->send("$CQXYZ:ABC:IN");
  peer_->send("$CQXYZ:ABC:RN");
  EXPECT_EQ(answers("$CQQQQ:*P:C?", "$CR", 1), Lines{"$CRABC:QQQ:C?:122.800"});
  EXPECT_EQ(peer_->linesStartingWith("#TM").size(), 1u);
  EXPECT_EQ(peer_->linesStartingWith("$CR").size(), 4u);
}

TEST_F(NetworkTest, TypeAndVersionRequestsAreAnsweredByteForByte) {
  ASSERT_NO_FATAL_FAILURE(connect("127.0.0.153", "AT72"));
  EXPECT_EQ(answers("#TXXYZ:ABC:PIR", "#TX", 1),
            Lines{"#TXABC:XYZ:PI:X:0:3:~AT72"});
  EXPECT_EQ(answers("#TXXYZ:*:VIR", "#TX", 1), Lines{"#TXABC:XYZ:VI:31"});
  peer_->send("#TXXYZ:ABd:PIR");
  peer_->send("#TXXYZ:ABC:PIRX");
  EXPECT_EQ(answers("#TXXYZ:*P:PIR", "#TX", 1),
            Lines{"#TXABC:XYZ:PI:X:0:3:~AT72"});
  EXPECT_EQ(peer_->linesStartingWith("#TX").size(), 3u);
}

TEST_F(NetworkTest, WithoutAChosenAircraftTheAnswerIsC172) {
  ASSERT_NO_FATAL_FAILURE(connect("127.0.0.154", ""));
  EXPECT_EQ(answers("#TXXYZ:ABC:PIR", "#TX", 1),
            Lines{"#TXABC:XYZ:PI:X:0:1:C172"});
}

}  // namespace
}  // namespace talvix
