// The real plug-in in the stand-in host, connected through its connect
// window to a LoopbackPeer of the test.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "tests/net/loopback_peer.h"
#include "tests/support/plugin_fixture.h"

namespace talvix::testing {

class SessionPluginTest : public PluginTest {
 protected:
  static constexpr int kServerItem = 7;
  static constexpr float kFrameSeconds = 0.001f;  // keeps the timers quiet

  void SetUp() override {
    PluginTest::SetUp();
    if (HasFatalFailure()) return;
    // No weather requests: only the lines a test causes go out.
    host().model().setSetting("Talvix", "AutoWeather", "0");
    openMainWindow();
  }

  void openConnectWindow() {
    pick("txMN", "cnmn", "conn");
    if (isOpen("txAC")) host().userClose(FourCC("txAC"));
    ASSERT_TRUE(isOpen("txCN"));
  }
  void type(const char (&field)[5], const std::string& text) {
    host().model().setText(static_cast<int>(FourCC("txCN")),
                           static_cast<int>(FourCC(field)), text.c_str());
  }
  void chooseServer(const std::string& address) {
    host().model().addPopupItem(static_cast<int>(FourCC("txCN")),
                                static_cast<int>(FourCC("ipMN")), kServerItem,
                                address.c_str());
    select("txCN", "ipMN", kServerItem);
  }
  void fill(const std::string& address, const std::string& callsign = "ABC") {
    type("csgn", callsign);
    type("user", "123");
    type("pwd_", "pw");
    type("fnam", "Jo");
    type("lnam", "Lee");
    type("base", "KSFO");
    chooseServer(address);
  }
  void pressOk() { event("txCN", "okBn", "actn"); }

  // Connects as ABC and takes the login line off the peer.
  void connect(LoopbackPeer& peer, const std::string& address) {
    ASSERT_TRUE(peer.listening());
    openConnectWindow();
    fill(address);
    pressOk();
    ASSERT_TRUE(peer.accept());
    ASSERT_TRUE(peer.readLine().has_value());
  }
  // OK again in a freshly opened connect window (filled from the settings).
  void reconnect(const std::string& address) {
    openConnectWindow();
    chooseServer(address);
    pressOk();
  }
  void disconnect() { pick("txMN", "cnmn", "disc"); }

  // Idle calls until pred holds; false after timeoutMs.
  template <typename Pred>
  bool pump(Pred pred, int timeoutMs = 5000) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
      host().idleOnce(kFrameSeconds);
      if (pred()) return true;
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
  }
  // The next line the plug-in sends, with idle calls while waiting.
  std::optional<std::string> answer(LoopbackPeer& peer, int timeoutMs = 5000) {
    std::optional<std::string> line;
    pump([&] { return (line = peer.readLine(2)).has_value(); }, timeoutMs);
    return line;
  }
  void pumpFor(int milliseconds) {
    pump([] { return false; }, milliseconds);
  }
  int historyCount(const std::string& line) const {
    const std::vector<std::string> rows = history();
    return static_cast<int>(std::count(rows.begin(), rows.end(), line));
  }
  bool historyHas(const std::string& line) const {
    return historyCount(line) > 0;
  }
  int sounds(const std::string& file) const {
    int n = 0;
    for (const auto& sound : state().sounds) n += sound.file == file;
    return n;
  }
  int mainWindowRaises() const {
    return state().windows.at(FourCC("txMN")).raises;
  }
};

}  // namespace talvix::testing
