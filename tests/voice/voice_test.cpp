// The voice programs driven from the tuned station's answer, through the
// real plug-in, the host's library slots with our TSRemote stand-in, and the
// program start with the stand-in that records its arguments.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "tests/atc/atc_session_fixture.h"
#include "voice/voice_control.h"

namespace talvix {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

constexpr char kTsAnswer[] = "#TMXYZ_TWR:ABC:voice.ts.example.net/xyz_twr";
constexpr char kTsAddress[] =
    "teamspeak://VOICE.TS.EXAMPLE.NET?nickname=ABC?loginname=123?password=pw"
    "?channel=XYZ_TWR";
constexpr char kTsUnicom[] =
    "teamspeak://VOICE.TS.EXAMPLE.NET?nickname=ABC?loginname=123?password=pw"
    "?channel=UNICOM";

Lines ReadLines(const fs::path& file) {
  Lines lines;
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The simulator's folder holds the test library and the recording program,
// registered as roger.exe; it is also the current folder, where the
// library keeps its log and reads its answer.
class VoiceTest : public testing::AtcSessionTest {
 protected:
  void SetUp() override {
    AtcSessionTest::SetUp();
    if (HasFatalFailure()) return;
    const fs::path root = root_;
    fs::copy_file(fs::path(TALVIX_BINARY_DIR) / "libTSRemote.so",
                  root / "libTSRemote.so");
    fs::copy_file(fs::path(TALVIX_BINARY_DIR) / "tests" / "roger_stub",
                  root / "roger.exe");
    fs::create_directories(root / "registry" / "App Paths");
    registerRoger((root / "roger.exe").string());
    previous_ = fs::current_path();
    fs::current_path(root);
  }
  void TearDown() override {
    if (!previous_.empty()) fs::current_path(previous_);
    AtcSessionTest::TearDown();
  }

  // Tunes XYZ_TWR by dialling it, which asks for its ATIS.
  void tuneTower() {
    deliver(testing::kTowerLine);
    idle();
    dial(118.15f);
    ASSERT_TRUE(pump([&] { return historyHas(testing::kTowerSwitch); }));
  }
  Lines tsLog() const { return ReadLines(fs::path(root_) / "tsremote.log"); }
  void registerRoger(const std::string& path) {
    std::ofstream(fs::path(root_) / "registry" / "App Paths" / "roger.exe")
        << path << "\n";
  }
  void tsAnswers(int result) {
    std::ofstream(fs::path(root_) / "tsremote.result") << result << "\n";
  }
  // The arguments the started program recorded; empty when it never ran.
  Lines rogerArguments() {
    const fs::path file = fs::path(root_) / "roger_args.txt";
    for (int i = 0; i < 200 && !fs::exists(file); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    Lines lines = ReadLines(file);
    fs::remove(file);
    return lines;
  }

  fs::path previous_;
};

TEST_F(VoiceTest, TeamSpeakFollowsTheTowerAnswerAndUnicom) {
  start("127.0.0.96");
  tuneTower();
  deliver(kTsAnswer);
  EXPECT_EQ(tsLog(), Lines{kTsAddress});
  EXPECT_TRUE(historyHas("----> switched TeamSpeak to XYZ_TWR"));
  // Only the first answer after the request drives the voice program.
  deliver(kTsAnswer);
  EXPECT_EQ(tsLog(), Lines{kTsAddress});
  EXPECT_EQ(historyCount("----> switched TeamSpeak to XYZ_TWR"), 1);

  pickStation("UNICOM_CTR");
  EXPECT_EQ(tsLog(), (Lines{kTsAddress, kTsUnicom}));
  EXPECT_TRUE(historyHas("----> Switched TeamSpeak to UNICOM"));

  // Refused: reported, and later UNICOM switches leave TeamSpeak alone.
  tsAnswers(1);
  pickStation("XYZ_TWR");
  deliver(kTsAnswer);
  EXPECT_TRUE(historyHas("****> FAILED to switch Voice Client to XYZ_TWR"));
  pickStation("UNICOM_CTR");
  EXPECT_EQ(tsLog().size(), 3u);
  EXPECT_EQ(historyCount("----> Switched TeamSpeak to UNICOM"), 1);

  // A server part that does not fit is refused, not cut; no library, no
  // switch, with its own line. The server remembered before it is
  // forgotten: UNICOM then leaves TeamSpeak alone.
  tsAnswers(0);
  pickStation("XYZ_TWR");
  deliver(kTsAnswer);
  EXPECT_EQ(tsLog().size(), 4u);
  pickStation("UNICOM_CTR");
  EXPECT_EQ(tsLog().size(), 5u);
  pickStation("XYZ_TWR");
  deliver("#TMXYZ_TWR:ABC:" + std::string(120, 'a') + ".ts.example.net/x");
  EXPECT_EQ(tsLog().size(), 5u);
  EXPECT_EQ(historyCount("****> FAILED to switch Voice Client to XYZ_TWR"), 2);
  pickStation("UNICOM_CTR");
  EXPECT_EQ(tsLog().size(), 5u);
  EXPECT_EQ(historyCount("----> Switched TeamSpeak to UNICOM"), 2);
  // Each request loads the library and releases it again.
  int loads = 0, releases = 0;
  for (const auto& event : state().libraries) {
    loads += event.op == "load" && event.ok;
    releases += event.op == "release";
  }
  EXPECT_EQ(loads, 5);
  EXPECT_EQ(releases, loads);
  // 128 characters leave no room for the end; a "/" first names no server.
  for (const std::string& answer : {std::string(113, 'a') + ".ts.example.net/x",
                                    std::string("/abc.ts.example.net/x")}) {
    pickStation("UNICOM_CTR");
    pickStation("XYZ_TWR");
    deliver("#TMXYZ_TWR:ABC:" + answer);
  }
  EXPECT_EQ(tsLog().size(), 5u);
  EXPECT_EQ(historyCount("****> FAILED to switch Voice Client to XYZ_TWR"), 4);
  // 127 characters fit with the end.
  pickStation("UNICOM_CTR");
  pickStation("XYZ_TWR");
  deliver("#TMXYZ_TWR:ABC:" + std::string(112, 'a') + ".ts.example.net/x");
  ASSERT_EQ(tsLog().size(), 6u);
  EXPECT_EQ(tsLog().back().find("teamspeak://" + std::string(112, 'A') +
                                ".TS.EXAMPLE.NET?"),
            0u);
  fs::remove(fs::path(root_) / "libTSRemote.so");
  pickStation("UNICOM_CTR");
  pickStation("XYZ_TWR");
  deliver(kTsAnswer);
  EXPECT_TRUE(historyHas(
      "****> Unable to load the TSRemote.DLL for TeamSpeak driving, Please "
      "check if available in your >System32<"));
  EXPECT_EQ(historyCount("****> FAILED to switch Voice Client to XYZ_TWR"), 5);
  EXPECT_EQ(lastSound(), "MYATTN.WAV");

  // A library without the connect call loads, fails the switch without the
  // missing-library line, and is released again.
  fs::copy_file(TALVIX_PLUGIN_PATH, fs::path(root_) / "libTSRemote.so");
  pickStation("UNICOM_CTR");
  pickStation("XYZ_TWR");
  deliver(kTsAnswer);
  EXPECT_EQ(historyCount("****> FAILED to switch Voice Client to XYZ_TWR"), 6);
  EXPECT_EQ(historyCount("****> Unable to load the TSRemote.DLL for "
                         "TeamSpeak driving, Please check if available in "
                         "your >System32<"),
            1);
  const auto events = state().libraries;
  ASSERT_GE(events.size(), 3u);
  const auto* last = &events[events.size() - 3];
  EXPECT_EQ(last[0].op + " " + std::to_string(last[0].ok), "load 1");
  EXPECT_EQ(last[1].op + " " + std::to_string(last[1].ok), "find 0");
  EXPECT_EQ(last[2].op, "release");
}

TEST_F(VoiceTest, RogerWilcoJoinsTheAnnouncedChannel) {
  start("127.0.0.97");
  tuneTower();
  deliver("#TMXYZ_TWR:ABC:atis alpha, voice 10.1.2.3/xyz_twr");
  EXPECT_TRUE(historyHas("----> switched Roger Wilco to XYZ_TWR"));
  EXPECT_EQ(rogerArguments(), (Lines{"/join1", "10.1.2.3/XYZ_TWR"}));
  pickStation("UNICOM_CTR");
  pickStation("XYZ_TWR");
  deliver("#TMXYZ_TWR:ABC:use rw.example.net/xyz please");
  EXPECT_EQ(rogerArguments(),
            (Lines{"/join1", "RW.EXAMPLE.NET/XYZ", "PLEASE"}));
  pickStation("UNICOM_CTR");
  pickStation("XYZ_TWR");
  deliver("#TMXYZ_TWR:ABC:no voice information here");  // "VOICE"
  EXPECT_EQ(rogerArguments(), (Lines{"/join1", "HERE"}));
  pickStation("UNICOM_CTR");
  pickStation("XYZ_TWR");
  deliver("#TMXYZ_TWR:ABC:nothing.ts.here");
  EXPECT_TRUE(historyHas("****> FAILED to switch Voice Client to XYZ_TWR"));
  // The station's first four characters name Roger Wilco too, from the
  // second character on.
  pickStation("UNICOM_CTR");
  pickStation("XYZ_TWR");
  deliver("#TMXYZ_TWR:ABC:9xyz_");
  EXPECT_EQ(rogerArguments(), (Lines{"/join1", "9XYZ_"}));
  pickStation("UNICOM_CTR");
  pickStation("XYZ_TWR");
  deliver("#TMXYZ_TWR:ABC:xyz_ here");
  pickStation("UNICOM_CTR");
  pickStation("XYZ_TWR");
  deliver("#TMXYZ_TWR:ABC:9xyz");  // three of the four
  EXPECT_EQ(historyCount("****> FAILED to switch Voice Client to XYZ_TWR"), 3);
  EXPECT_TRUE(rogerArguments().empty());
}

// The command lines, with received text that a shell would run: the one
// program starts with the text as plain arguments, and nothing else runs.
// Quotes in the text group and escape as the program reads them.
TEST_F(VoiceTest, CommandLinesStartOneProgramWithPlainArguments) {
  const fs::path root = root_;
  struct Case {
    std::string address;
    Lines arguments;
  };
  const Case cases[] = {
      {"x; touch made1", {"/join1", "x;", "touch", "made1"}},
      {"$(touch made2)", {"/join1", "$(touch", "made2)"}},
      {"`touch made3` | touch made4 && touch made5",
       {"/join1", "`touch", "made3`", "|", "touch", "made4", "&&", "touch",
        "made5"}},
      {"a\"b c\"d \\\"e", {"/join1", "ab cd", "\"e"}},
      {"c:\\d\\\\\"x y\"", {"/join1", "c:\\d\\x y"}},
  };
  for (const Case& c : cases) {
    EXPECT_TRUE(RogerWilcoJoin(c.address.c_str())) << c.address;
    EXPECT_EQ(rogerArguments(), c.arguments) << c.address;
  }
  EXPECT_TRUE(RogerWilcoLeave());
  EXPECT_EQ(rogerArguments(), Lines{"/leave"});
  for (const char* made : {"made1", "made2", "made3", "made4", "made5"})
    EXPECT_FALSE(fs::exists(root / made) || fs::exists(previous_ / made));

  // 260 bytes at most, the path's quotes counted: one more is refused and
  // starts nothing.
  const std::size_t room = 259 - (root / "roger.exe").string().size() - 10;
  EXPECT_TRUE(RogerWilcoJoin(std::string(room, 'a').c_str()));
  EXPECT_EQ(rogerArguments().size(), 2u);
  EXPECT_FALSE(RogerWilcoJoin(std::string(room + 1, 'a').c_str()));
  EXPECT_EQ(rogerArguments(), Lines{});
  fs::remove(root / "registry" / "App Paths" / "roger.exe");
  EXPECT_FALSE(RogerWilcoLeave());
}

// Only a program file named by an absolute path is started: a value naming
// nothing, a folder, a batch file, a program without the suffix, a file that
// cannot run or a relative path (though the current folder holds the
// program) is refused for the join and the leave alike, and nothing runs; a
// path in double quotes is the path between them. After each refusal an
// ordinary join still starts the program registered next.
TEST_F(VoiceTest, OnlyTheRegisteredProgramFileIsStarted) {
  const fs::path root = root_;
  const fs::path stub = root / "roger.exe";
  fs::copy_file(stub, root / "roger.cmd");
  fs::copy_file(stub, root / "roger");
  fs::copy_file(stub, root / "roger_exe");
  fs::copy_file(stub, root / "ROGER.EXE");
  fs::copy_file(stub, root / "readable.exe");
  fs::copy_file(stub, root / "quote\"d.exe");
  fs::permissions(root / "readable.exe", fs::perms::owner_read);
  std::ofstream(root / "broken.exe") << "not a program\n";
  fs::permissions(root / "broken.exe", fs::perms::owner_all);
  fs::create_directories(root / "folder.exe");
  const fs::path ordinary = root / "ordinary" / "roger.exe";
  fs::create_directories(ordinary.parent_path());
  fs::copy_file(stub, ordinary);
  const std::string quote = "\"";
  struct Case {
    std::string path;
    bool started;
  };
  const Case cases[] = {
      {"", false},
      {(root / "missing.exe").string(), false},
      {(root / "folder.exe").string(), false},
      {(root / "roger.cmd").string(), false},
      {(root / "roger").string(), false},
      {(root / "roger_exe").string(), false},
      {(root / ".exe").string(), false},
      {(root / "readable.exe").string(), false},
      {(root / "broken.exe").string(), false},
      {(root / "quote\"d.exe").string(), false},
      {"roger.exe", false},
      {"./roger.exe", false},
      {"ordinary/roger.exe", false},
      {quote + "roger.exe" + quote, false},
      {quote + (root / "missing.exe").string() + quote, false},
      {quote + stub.string(), false},
      {stub.string() + quote, false},
      {quote + quote, false},
      {quote, false},
      {(root / "ROGER.EXE").string(), true},
      {quote + stub.string() + quote, true},
  };
  const Lines joined{"/join1", "10.1.2.3/xyz"};
  const Lines left{"/leave"};
  const fs::path ordinaryArguments = ordinary.parent_path() / "roger_args.txt";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    registerRoger(c.path);
    EXPECT_EQ(RogerWilcoJoin("10.1.2.3/xyz"), c.started);
    if (c.started) {
      EXPECT_EQ(rogerArguments(), joined);
      EXPECT_TRUE(RogerWilcoLeave());
      EXPECT_EQ(rogerArguments(), left);
      continue;
    }
    EXPECT_FALSE(RogerWilcoLeave());
    // The ordinary join starts after the refused ones: once its program has
    // written, one that the refusals had started would have too.
    registerRoger(ordinary.string());
    EXPECT_TRUE(RogerWilcoJoin("10.1.2.3/xyz"));
    for (int i = 0; i < 500 && !fs::exists(ordinaryArguments); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(ReadLines(ordinaryArguments), joined);
    fs::remove(ordinaryArguments);
    EXPECT_FALSE(fs::exists(root / "roger_args.txt"));
    fs::remove(root / "roger_args.txt");
  }
}

// A path with blanks names the program at its end, not the file the path's
// first word names (here a program too). The path stands in quotes on the
// command line, so the program's first argument is the switch.
TEST_F(VoiceTest, APathWithBlanksStartsTheProgramAtItsEnd) {
  const fs::path root = root_;
  const fs::path folder = root / "Roger Wilco Test";
  const fs::path program = folder / "roger.exe";
  fs::create_directories(folder);
  fs::copy_file(root / "roger.exe", program);
  fs::copy_file(root / "roger.exe", root / "Roger");  // the first word
  const fs::path recorded = folder / "roger_args.txt";
  const auto await = [&] {
    for (int i = 0; i < 500 && !fs::exists(recorded); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const Lines lines = ReadLines(recorded);
    fs::remove(recorded);
    return lines;
  };
  for (const std::string& value :
       {program.string(), "\"" + program.string() + "\""}) {
    SCOPED_TRACE(value);
    registerRoger(value);
    ASSERT_TRUE(RogerWilcoJoin("10.1.2.3/xyz"));
    EXPECT_EQ(await(), (Lines{"/join1", "10.1.2.3/xyz"}));
    ASSERT_TRUE(RogerWilcoLeave());
    EXPECT_EQ(await(), Lines{"/leave"});
    EXPECT_FALSE(fs::exists(root / "roger_args.txt"));
  }
}

// A started program holds only standard input, output and error: nothing
// of the plug-in, such as the session's socket, is inherited.
TEST_F(VoiceTest, AStartedProgramHoldsOnlyTheStandardDescriptors) {
  start("127.0.0.198");
  const fs::path roger = fs::path(root_) / "roger.exe";
  const fs::path listed = fs::path(root_) / "fds.txt";
  fs::remove(roger);
  // ls lists its own descriptors: the three standard ones and the folder
  // it reads.
  std::ofstream(roger) << "#!/bin/sh\nexec ls /proc/self/fd > " << listed
                       << ".part\n";
  fs::permissions(roger, fs::perms::owner_all);
  ASSERT_TRUE(RogerWilcoJoin("10.1.2.3/xyz"));
  const fs::path part = listed.string() + ".part";
  Lines fds;
  for (int i = 0; i < 300 && fds.size() < 4; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    fds = ReadLines(part);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(ReadLines(part), (Lines{"0", "1", "2", "3"}));
}

// ".rw ADDRESS" and ".rwk" typed on the command line reach the same program,
// and a missing program is reported instead of claimed.
TEST_F(VoiceTest, CommandLineJoinsAndLeavesRogerWilco) {
  start("127.0.0.98");
  const auto enter = [&](const char* text) {
    host().model().setText(static_cast<int>(FourCC("txMN")),
                           static_cast<int>(FourCC("text")), text);
    event("txMN", "text", "tent");
  };
  enter(".rw 10.1.2.3/xyz_twr");
  EXPECT_EQ(history().back(), "RW Connecting to: 10.1.2.3/xyz_twr");
  EXPECT_EQ(rogerArguments(), (Lines{"/join1", "10.1.2.3/xyz_twr"}));
  enter(".rwk");
  EXPECT_EQ(history().back(), "Left RW channel");
  EXPECT_EQ(rogerArguments(), Lines{"/leave"});

  // A relative value is refused with the same lines as a missing one, and
  // the program registered next is started again.
  registerRoger("roger.exe");
  enter(".rw 10.1.2.3/xyz_twr");
  EXPECT_EQ(history().back(), "Error activating RW");
  enter(".rwk");
  EXPECT_EQ(history().back(), "Error deactivating RW");
  registerRoger((fs::path(root_) / "roger.exe").string());
  enter(".rw 10.1.2.3/abc_twr");
  EXPECT_EQ(history().back(), "RW Connecting to: 10.1.2.3/abc_twr");
  EXPECT_EQ(rogerArguments(), (Lines{"/join1", "10.1.2.3/abc_twr"}));

  fs::remove(fs::path(root_) / "registry" / "App Paths" / "roger.exe");
  enter(".rw 10.1.2.3/xyz_twr");
  EXPECT_EQ(history().back(), "Error activating RW");
  enter(".rwk");
  EXPECT_EQ(history().back(), "Error deactivating RW");
  EXPECT_EQ(rogerArguments(), Lines{});
}

}  // namespace
}  // namespace talvix
