// The host's script and dump: commands drive the model and the probe
// plug-in, expectations fail with what was there, and simhost's exit status
// tells a failed script from a passed one.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <thread>

#include "core/fourcc.h"
#include "sim/sim.h"
#include "sim/win_file.h"
#include "sim_test_support.h"

using talvix::FourCC;

namespace {

class Script : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(sim_.loadPlugin(SIM_PROBE_PLUGIN_PATH));
    Ok("menu prob go__");  // the probe opens txEX
  }
  void Ok(const std::string& line) {
    std::string error;
    EXPECT_TRUE(sim_.runCommand(line, &error)) << line << ": " << error;
  }
  std::string Fails(const std::string& line) {
    std::string error;
    EXPECT_FALSE(sim_.runCommand(line, &error)) << line;
    return error;
  }
  const sim::Control& Control(const char (&code)[5]) {
    state_ = sim_.model().snapshot();
    return *state_.windows.at(FourCC("txEX")).find(FourCC(code));
  }
  std::string LastNotice() {
    auto n = sim_.model().snapshot().notices;
    return n.empty() ? "" : n.back().text;
  }

  simtest::TempRoot root_;
  sim::Simulator sim_{root_.str()};
  sim::HostState state_;
};

TEST_F(Script, ControlCommandsSetTheControlThenReportTheEvent) {
  Ok("select txEX exPp 'ab12'");
  EXPECT_EQ(static_cast<int>(FourCC("ab12")), Control("exPp").selected);
  EXPECT_NE(std::string::npos, LastNotice().find("exPp slct"));
  Fails("select txEX exPp 5");

  Ok("additem txEX exPp 5 127.0.0.5");
  Ok("select txEX exPp 5");
  EXPECT_EQ(5, Control("exPp").selected);

  Ok("check txEX exCk on");
  EXPECT_EQ(1, Control("exCk").state);
  EXPECT_NE(std::string::npos, LastNotice().find("exCk chek"));
  Ok("check txEX exCk off");
  EXPECT_NE(std::string::npos, LastNotice().find("exCk uchk"));

  std::size_t before = sim_.model().snapshot().notices.size();
  Ok("type txEX exTx .msg  two  blanks");
  EXPECT_EQ(".msg  two  blanks", Control("exTx").text);
  EXPECT_EQ(before, sim_.model().snapshot().notices.size()) << "no event";
  Ok("enter txEX exTx hello");
  EXPECT_NE(std::string::npos, LastNotice().find("exTx tent"));
  Ok("expect-text txEX exTx hello");
  EXPECT_NE(std::string::npos,
            Fails("expect-text txEX exTx bye").find("\"hello\""));

  Ok("pick txEX exMn 'conn'");
  EXPECT_NE(std::string::npos,
            LastNotice().find("exMn slct " + std::to_string(FourCC("conn"))));
  Fails("pick txEX exMn 'zzzz'");
  Ok("value txEX exGo");
  EXPECT_NE(std::string::npos, LastNotice().find("exGo valu"));
  Ok("click txEX MINI");
  Fails("click txEX nope");
  Fails("click txZZ exBn");
  Fails("bogus command");
}

TEST_F(Script, ListExpectationsReadColumnZero) {
  auto w = static_cast<int>(FourCC("txEX")),
       l = static_cast<int>(FourCC("exLs"));
  for (const char* text : {"", "Connected.", "Added: DLH123"}) {
    sim_.model().listAppendRow(w, l, 12);
    sim_.model().listSetCell(w, l, sim_.model().listRowCount(w, l) - 1, 0,
                             text);
  }
  Ok("expect-rows txEX exLs 3");
  Ok("expect-row txEX exLs 2 Added: DLH123");
  std::string error = Fails("expect-row txEX exLs 1 Added: DLH123");
  EXPECT_NE(std::string::npos, error.find("\"Connected.\""));
  EXPECT_NE(std::string::npos, Fails("expect-rows txEX exLs 2").find("3 rows"));
  Ok("row txEX exLs 1");
  EXPECT_EQ(1, Control("exLs").selectedRow);
  Fails("row txEX exLs 3");
}

TEST_F(Script, PopupExpectationsReadItemsAndTheShownOne) {
  Ok("expect-items txEX exPp 2");
  EXPECT_NE(std::string::npos,
            Fails("expect-items txEX exPp 3").find("[\"------\", "));
  Ok("additem txEX exPp 7 DLH123");
  Ok("expect-items txEX exPp 3");
  Ok("expect-item txEX exPp DLH123");
  Ok("expect-item txEX exPp Second item");
  Ok("expect-no-item txEX exPp DLH12");
  EXPECT_NE(std::string::npos,
            Fails("expect-item txEX exPp DLH12").find("\"DLH123\""));
  Fails("expect-no-item txEX exPp DLH123");
  Ok("select txEX exPp 7");
  Ok("expect-shown txEX exPp DLH123");
  EXPECT_NE(std::string::npos,
            Fails("expect-shown txEX exPp ------").find("\"DLH123\""));
  EXPECT_NE(std::string::npos,
            Fails("expect-items txEX exLs 1").find("is no popup"));
  EXPECT_NE(std::string::npos,
            Fails("expect-item txZZ exPp x").find("is not open"));
}

TEST_F(Script, HistoryNoticeAndObjectExpectations) {
  std::string error = Fails("expect history Connected.");
  EXPECT_NE(std::string::npos, error.find("txMN is not open"));
  root_.write("txMain.win", "control hist list\n");
  auto& m = sim_.model();
  ASSERT_EQ(1, m.createWindow(sim::kPluginSignature, int(FourCC("txMN")),
                              "txmain.WIN"));
  m.listAppendRow(int(FourCC("txMN")), int(FourCC("hist")), 12);
  m.listSetCell(int(FourCC("txMN")), int(FourCC("hist")), 0, 0, "Connected.");
  Ok("expect history Connected.");
  Ok("expect-not history Disconnected.");
  EXPECT_NE(std::string::npos,
            Fails("expect-not history Connected.").find("history rows"));
  Ok("expect notice event " + std::to_string(sim::kPluginSignature) +
     " MBar prob slct " + std::to_string(FourCC("go__")));
  Ok("wait-notice 1 event " + std::to_string(sim::kPluginSignature) +
     " MBar prob slct " + std::to_string(FourCC("go__")));
  EXPECT_NE(
      std::string::npos,
      Fails("wait-notice 0.2 Changed X to type: A320").find("notices: ["));
  m.alert("Talvix : careful");
  Ok("expect alert Talvix : careful");
  EXPECT_NE(std::string::npos,
            Fails("expect alert other").find("[\"Talvix : careful\"]"));

  root_.write("tvox/A320.tvx", "m");
  auto* object = m.createObject("tvox\\A320.tvx", 0);
  ASSERT_NE(nullptr, object);
  m.setNames(&object->ref, "AFR12", "AFR12");
  Ok("expect-object AFR12");
  Ok("expect-no-object BAW1");
  EXPECT_NE(std::string::npos,
            Fails("expect-no-object AFR12").find("[\"AFR12\"]"));
  Ok("wait-object 1 AFR12");
  EXPECT_NE(std::string::npos, Fails("wait-object 0.2 BAW1").find("waited"));
  EXPECT_NE(std::string::npos,
            Fails("wait-history 0.2 Never.").find("\"Connected.\""));
}

// wait-sound waits for a sound started after it began, not one before.
TEST_F(Script, WaitSoundWaitsForANewStart) {
  auto& m = sim_.model();
  m.playSound("MYATTN.WAV");
  EXPECT_NE(std::string::npos,
            Fails("wait-sound 0.2 MYATTN.WAV").find("waited"));
  std::thread later([&m] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    m.playSound("MYATTN.WAV");
  });
  Ok("wait-sound 10 MYATTN.WAV");
  later.join();
}

TEST_F(Script, WorldCommandsSetTheUserAircraftAndSimulatorData) {
  Ok("aircraft 47.5 -122.3 1500 120 5 -10 90");
  auto user = sim_.model().snapshot().user;
  EXPECT_DOUBLE_EQ(47.5 * 3600, user.position.lat);
  EXPECT_NEAR((360 - 122.3) * 3600, user.position.lon, 1e-6);
  EXPECT_FLOAT_EQ(120.0f, user.speed);
  EXPECT_NEAR(std::atan(1.0) * 2, user.orientation.y, 1e-9) << "heading";
  EXPECT_NEAR(-10 * std::atan(1.0) / 45, user.orientation.z, 1e-9) << "bank";
  Ok("com 121.5");
  Ok("xpdr 5 1 7000 xpdr");
  Ok("clock 23:59");
  Fails("clock 24:00");
  Ok("planner EDDF EDDM 2:EDDF:0:364 3:SPESA:250:24000");
  Fails("planner EDDF EDDM 2:EDDF");
  Ok("setting Callsign ABC 123");
  Ok("user absent");
  auto s = sim_.model().snapshot();
  EXPECT_FLOAT_EQ(121.5f, s.user.com1);
  EXPECT_EQ(FourCC("xpdr"), s.user.transponder.destination);
  EXPECT_EQ(7000, s.user.transponder.code);
  EXPECT_EQ(23, s.timeHour);
  ASSERT_EQ(2u, s.plan.size());
  EXPECT_EQ("SPESA", s.plan[1].name);
  EXPECT_EQ("EDDM", s.destination);
  EXPECT_FALSE(s.user.present);
  EXPECT_EQ("ABC 123", sim_.model().settings("Talvix").at("Callsign"));
  EXPECT_NE(std::string::npos,
            root_.read("settings.ini").find("Callsign=ABC 123"));
}

TEST_F(Script, DumpWritesTheWholeStateWithCodesAsCharacters) {
  Ok("dump " + root_.file("state.json"));
  std::ifstream in(root_.file("state.json"));
  nlohmann::json d = nlohmann::json::parse(in);
  for (const char* key :
       {"windows", "objects", "user", "weather", "winds", "settings", "sounds",
        "alerts", "notices", "menus", "libraries", "about"})
    EXPECT_TRUE(d.contains(key)) << key;
  const auto& popup = d["windows"]["txEX"]["controls"]["exPp"];
  EXPECT_EQ("TXEXAMPLE.WIN", d["windows"]["txEX"]["file"]);
  EXPECT_EQ("popup", popup["kind"]);
  EXPECT_EQ(0, popup["selected"]);
  EXPECT_EQ("ab12", popup["items"][1]["code"]);
  EXPECT_EQ("History",
            d["windows"]["txEX"]["controls"]["exLs"]["columns"][0]["title"]);
  EXPECT_EQ(1024,
            d["windows"]["txEX"]["controls"]["exLs"]["columns"][0]["width"]);
  EXPECT_EQ(3u, d["weather"]["clouds"].size());
  EXPECT_EQ(14u, d["winds"].size());
  EXPECT_EQ("kt76", d["user"]["transponder"]["destination"]);
  EXPECT_EQ("MBar", d["menus"][0]["bar"]);
  EXPECT_EQ("Probe", d["about"]["texts"][0]);
  EXPECT_EQ(5u, d["about"]["texts"].size());
}

int RunSimhost(const simtest::TempRoot& root, const std::string& script,
               std::string* out, std::string* err) {
  root.write("test.sim", script);
  std::string command = std::string(SIMHOST_PATH) + " --root " + root.str() +
                        " --plugin " + SIM_PROBE_PLUGIN_PATH + " --script " +
                        root.file("test.sim") + " >" + root.file("out.txt") +
                        " 2>" + root.file("err.txt");
  int status = std::system(command.c_str());
  *out = root.read("out.txt");
  *err = root.read("err.txt");
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(Simhost, AFailedExpectEndsTheScriptWithStatusOne) {
  simtest::TempRoot root;
  std::string out, err;
  EXPECT_EQ(1, RunSimhost(root,
                          "# the probe reports the menu event\n"
                          "menu prob go__\n"
                          "expect notice nothing like it\n"
                          "echo not reached\n",
                          &out, &err));
  EXPECT_NE(std::string::npos, err.find("script line 3"));
  EXPECT_NE(std::string::npos, err.find("MBar prob slct")) << err;
  EXPECT_EQ(std::string::npos, out.find("not reached"));
}

TEST(Simhost, AScriptThatHoldsExitsZeroAndDumpsJson) {
  simtest::TempRoot root;
  std::string out, err;
  EXPECT_EQ(0,
            RunSimhost(root, "frames 3 0.1\r\necho marker\ndump\n", &out, &err))
      << err;
  std::size_t marker = out.find("marker\n");
  ASSERT_NE(std::string::npos, marker);
  nlohmann::json d = nlohmann::json::parse(out.substr(marker + 7));
  EXPECT_NEAR(0.3, d["time"]["host"].get<double>(), 1e-6);
}

TEST(WinFile, BadDescriptionsNameTheirLine) {
  sim::Window w;
  std::string error;
  EXPECT_FALSE(sim::ParseWinText("control abc text\n", &w, &error));
  EXPECT_NE(std::string::npos, error.find("line 1"));
  EXPECT_FALSE(sim::ParseWinText("# c\nitem 0 x\n", &w, &error));
  EXPECT_NE(std::string::npos, error.find("line 2"));
  EXPECT_FALSE(
      sim::ParseWinText("control abcd popup\nitem 'ab' x\n", &w, &error));
  EXPECT_FALSE(sim::ParseWinText("control abcd wheel\n", &w, &error));
  EXPECT_FALSE(
      sim::ParseWinText("control abcd text\ncontrol abcd label\n", &w, &error));
  ASSERT_TRUE(sim::ParseWinText(
      "title T\r\ncontrol mp__ popup\nitem 'mp5_' 5 nm\nitem -1 none\n", &w,
      &error));
  EXPECT_EQ("T", w.title);
  EXPECT_EQ(static_cast<int>(FourCC("mp5_")), w.controls[0].items[0].id);
  EXPECT_EQ("5 nm", w.controls[0].items[0].text);
  EXPECT_EQ(-1, w.controls[0].items[1].id);
  EXPECT_EQ(-1, w.controls[0].width);
  // Layout hints belong to the control above them.
  ASSERT_TRUE(sim::ParseWinText(
      "control csgn text\ncaption Call sign\nwidth 0\n", &w, &error));
  EXPECT_EQ("Call sign", w.controls[0].caption);
  EXPECT_EQ(0, w.controls[0].width);
  EXPECT_FALSE(sim::ParseWinText("caption X\n", &w, &error));
  EXPECT_FALSE(sim::ParseWinText("control abcd text\nwidth -2\n", &w, &error));
  EXPECT_FALSE(sim::ParseWinText("control abcd text\nwidth x\n", &w, &error));
  // A list's Enter button; only a list has one, named by a four-letter code.
  ASSERT_TRUE(sim::ParseWinText(
      "control list list\nenter slBn\ncontrol slBn button Select\n", &w,
      &error));
  EXPECT_EQ(FourCC("slBn"), w.controls[0].enter);
  EXPECT_EQ(0u, w.controls[1].enter);
  EXPECT_FALSE(
      sim::ParseWinText("control abcd text\nenter slBn\n", &w, &error));
  EXPECT_FALSE(sim::ParseWinText("enter slBn\n", &w, &error));
  EXPECT_FALSE(sim::ParseWinText("control list list\nenter sl\n", &w, &error));
}

}  // namespace
