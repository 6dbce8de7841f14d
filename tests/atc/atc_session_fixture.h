// The real plug-in connected to a loopback peer that plays the network:
// lines are delivered one by one (each followed by a marker line whose
// history line shows it was handled), the COM radio is dialled in the host,
// and the popup 'sAtc' and the sounds are read back.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/protocol/session_plugin_fixture.h"

namespace talvix::testing {

class AtcSessionTest : public SessionPluginTest {
 protected:
  void SetUp() override {
    SessionPluginTest::SetUp();
    if (HasFatalFailure()) return;
    host().model().setSetting("Talvix", "AutoPopup", "1");
    dial(121.5f);
  }

  // Connects as ABC through a new peer on the address.
  void start(const std::string& address) {
    peer_ = std::make_unique<LoopbackPeer>(address);
    ASSERT_NO_FATAL_FAILURE(connect(*peer_, address));
  }
  LoopbackPeer& peer() { return *peer_; }

  // Sends the line, then an unknown server error as a marker: the plug-in
  // handles the received lines in order, so once the marker is posted
  // the line was handled. The marker posts nothing else.
  void deliver(const std::string& line) {
    const std::string marker = std::to_string(1000 + ++markers_);
    ASSERT_TRUE(peer_->send(line + "\r\n$ERserver:ABC:" + marker + "\r\n"));
    ASSERT_TRUE(pump([&] {
      return historyHas("Unknown server error " + marker);
    })) << line;
    // Sounds last one second of host time: later cues are not held back.
    host().model().modify([](sim::HostState& s) { s.hostTime += 2.0; });
  }
  // The lines posted since the last deliver(), markers left out.
  std::vector<std::string> postedSince(std::size_t from) const {
    std::vector<std::string> rows = history(), posted;
    for (std::size_t i = from; i < rows.size(); ++i) {
      if (rows[i].rfind("Unknown server error ", 0) != 0)
        posted.push_back(rows[i]);
    }
    return posted;
  }

  void dial(float mhz) {
    host().model().modify([&](sim::HostState& s) { s.user.com1 = mhz; });
  }
  float radio() const { return state().user.com1; }
  // One idle call, so the radio as it is now has been read.
  void idle() { host().idleOnce(kFrameSeconds); }
  // One position-report tick: stations age by one.
  void tick() { host().idleOnce(5.01f); }

  std::vector<std::string> atcItems() const {
    std::vector<std::string> texts;
    if (auto popup = control("txMN", "sAtc")) {
      for (const auto& item : popup->items) texts.push_back(item.text);
    }
    return texts;
  }
  // The id of the item with this text, -1 when there is none.
  int atcItem(const std::string& text) const {
    if (auto popup = control("txMN", "sAtc")) {
      for (const auto& item : popup->items)
        if (item.text == text) return item.id;
    }
    return -1;
  }
  std::string shownStation() const {
    auto popup = control("txMN", "sAtc");
    if (!popup || !popup->selected) return "";
    for (const auto& item : popup->items)
      if (item.id == *popup->selected) return item.text;
    return "";
  }
  void pickStation(const std::string& callsign) {
    const int id = atcItem(callsign);
    ASSERT_GE(id, 0) << callsign;
    select("txMN", "sAtc", id);
  }
  std::vector<std::string> sentStartingWith(const std::string& prefix) {
    pumpFor(150);  // the sender writes one line per 55 ms
    std::vector<std::string> found;
    while (auto line = peer_->readLine(50)) {
      if (line->rfind(prefix, 0) == 0) found.push_back(*line);
    }
    return found;
  }
  // The next line sent with this prefix, waiting for it with idle calls;
  // other lines are skipped. Empty after five seconds without one.
  std::string nextSentStartingWith(const std::string& prefix) {
    std::string found;
    pump([&] {
      while (auto line = peer_->readLine(2)) {
        if (line->rfind(prefix, 0) == 0) {
          found = *line;
          return true;
        }
      }
      return false;
    });
    return found;
  }
  std::string lastSound() const {
    const auto all = state().sounds;
    return all.empty() ? "" : all.back().file;
  }

  std::unique_ptr<LoopbackPeer> peer_;
  int markers_ = 0;
};

inline const char kUnicomSwitch[] =
    "====> switched to UNICOM_CTR on 122.800 (expect ATIS)";
inline const char kTowerSwitch[] =
    "====> switched to XYZ_TWR on 118.150 (expect ATIS)";
inline const char kTowerLine[] = "%XYZ_TWR:18150:4:50:3";

}  // namespace talvix::testing
