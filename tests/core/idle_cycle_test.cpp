// The idle cycle's timing, driven through a cycle built over counting steps:
// which idle call fires the position report and the weather request, and
// that a failing step neither stops the call nor delays the next report.
#include "core/idle_cycle.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "core/host.h"
#include "sim/host_table.h"
#include "tests/support/plugin_fixture.h"

namespace talvix {
namespace {

struct Recorder {
  bool connected = true;
  int autoWeather = 1;
  bool positionThrows = false;
  bool updateThrows = false;
  bool incomingThrows = false;
  bool weatherThrows = false;
  std::vector<std::string> calls;
};
Recorder* g_rec = nullptr;

bool Connected() { return g_rec->connected; }
void Update() {
  g_rec->calls.push_back("update");
  if (g_rec->updateThrows) throw std::runtime_error("update");
}
void Incoming() {
  g_rec->calls.push_back("incoming");
  if (g_rec->incomingThrows) throw std::runtime_error("incoming");
}
void Position() {
  g_rec->calls.push_back("position");
  if (g_rec->positionThrows) throw std::runtime_error("position");
}
void Weather() {
  g_rec->calls.push_back("weather");
  if (g_rec->weatherThrows) throw std::runtime_error("weather");
}
int Auto() { return g_rec->autoWeather; }

class IdleCycleTest : public ::testing::Test {
 protected:
  void SetUp() override { g_rec = &rec_; }
  void TearDown() override { g_rec = nullptr; }

  IdleCycle MakeCycle() {
    return IdleCycle(
        IdleSteps{Connected, Update, Incoming, Position, Weather, Auto});
  }
  int Count(const std::string& step) const {
    int n = 0;
    for (const auto& call : rec_.calls) n += call == step;
    return n;
  }
  // Runs calls of dt and returns the 1-based numbers of the calls during
  // which the step ran.
  std::vector<int> CallsThatRan(IdleCycle& cycle, const std::string& step,
                                int calls, float dt) {
    std::vector<int> fired;
    for (int i = 1; i <= calls; ++i) {
      const int before = Count(step);
      cycle.run(dt);
      if (Count(step) > before) fired.push_back(i);
    }
    return fired;
  }

  Recorder rec_;
};

TEST_F(IdleCycleTest, StartsWithFiveAndZeroSeconds) {
  IdleCycle cycle = MakeCycle();
  EXPECT_FLOAT_EQ(cycle.positionTimer(), 5.0f);
  EXPECT_FLOAT_EQ(cycle.weatherTimer(), 0.0f);
}

TEST_F(IdleCycleTest, HalfSecondStepsReportOnTheEleventhCallAfterAReset) {
  IdleCycle cycle = MakeCycle();
  cycle.run(6.0f);  // fires at once and resets the timer to 5.0
  ASSERT_EQ(Count("position"), 1);
  ASSERT_EQ(cycle.positionTimer(), 5.0f);

  // After ten calls the timer stands at exactly 0.0, which does not fire.
  std::vector<int> fired = CallsThatRan(cycle, "position", 10, 0.5f);
  EXPECT_TRUE(fired.empty());
  EXPECT_EQ(cycle.positionTimer(), 0.0f);

  fired = CallsThatRan(cycle, "position", 22, 0.5f);
  EXPECT_EQ(fired, (std::vector<int>{1, 12}));  // calls 11 and 22 overall
}

TEST_F(IdleCycleTest,
       TimersRunWhileDisconnectedAndFireOnTheFirstConnectedCall) {
  rec_.connected = false;
  IdleCycle cycle = MakeCycle();
  for (int i = 0; i < 12; ++i) cycle.run(0.5f);
  EXPECT_TRUE(rec_.calls.empty());
  EXPECT_FLOAT_EQ(cycle.positionTimer(), -1.0f);
  EXPECT_FLOAT_EQ(cycle.weatherTimer(), -6.0f);

  rec_.connected = true;
  cycle.run(0.5f);
  EXPECT_EQ(rec_.calls, (std::vector<std::string>{"update", "incoming",
                                                  "position", "weather"}));
  EXPECT_EQ(cycle.positionTimer(), 5.0f);
  EXPECT_EQ(cycle.weatherTimer(), 300.0f);
}

TEST_F(IdleCycleTest, OvershootIsDroppedNotCarried) {
  IdleCycle cycle = MakeCycle();
  cycle.run(0.1f);  // weather fires, position not yet
  cycle.run(7.9f);  // position at -3.0: fires and restarts at 5.0
  EXPECT_EQ(Count("position"), 1);
  EXPECT_EQ(cycle.positionTimer(), 5.0f);
  cycle.run(4.0f);
  EXPECT_EQ(Count("position"), 1);
  cycle.run(1.5f);
  EXPECT_EQ(Count("position"), 2);
}

TEST_F(IdleCycleTest, WeatherOffStillRestartsTheTimerWithoutARequest) {
  rec_.autoWeather = 0;
  IdleCycle cycle = MakeCycle();
  cycle.run(0.5f);
  EXPECT_EQ(Count("weather"), 0);
  EXPECT_EQ(cycle.weatherTimer(), 300.0f);

  rec_.autoWeather = 2;  // only exactly 1 means on
  for (int i = 0; i < 600; ++i) cycle.run(0.5f);
  EXPECT_EQ(cycle.weatherTimer(), 0.0f);
  cycle.run(0.5f);  // fires: restarted, still no request
  EXPECT_EQ(Count("weather"), 0);
  EXPECT_EQ(cycle.weatherTimer(), 300.0f);

  rec_.autoWeather = 1;
  const std::vector<int> fired = CallsThatRan(cycle, "weather", 601, 0.5f);
  EXPECT_EQ(fired, (std::vector<int>{601}));
}

TEST_F(IdleCycleTest, AFailingStepLetsTheRestOfTheCallRun) {
  rec_.updateThrows = true;
  rec_.positionThrows = true;
  IdleCycle cycle = MakeCycle();
  cycle.run(5.5f);
  EXPECT_EQ(rec_.calls, (std::vector<std::string>{"update", "incoming",
                                                  "position", "weather"}));
  // The failed report does not come again on the next call: the timer was
  // set before the step ran.
  EXPECT_EQ(cycle.positionTimer(), 5.0f);
  cycle.run(0.5f);
  EXPECT_EQ(Count("position"), 1);
}

// Each failing step names itself in the history, in the order they ran.
class IdleGuardTest : public testing::PluginTest {};

TEST_F(IdleGuardTest, EachFailingStepPostsItsOwnLine) {
  openMainWindow();
  // The cycle built here posts through the same host as the plug-in.
  const HostServicesTable table = sim::BuildHostTable();
  host::Install(&table, sim::kReferenceNumber);
  Recorder rec;
  rec.updateThrows = rec.incomingThrows = true;
  rec.positionThrows = rec.weatherThrows = true;
  g_rec = &rec;
  IdleCycle cycle(
      IdleSteps{Connected, Update, Incoming, Position, Weather, Auto});
  cycle.run(5.5f);
  g_rec = nullptr;
  EXPECT_EQ(history(),
            (std::vector<std::string>{
                "", "****> UpdateFlyParameters - Talvix: Exception caught.",
                "****> handleIncomingMessage - Talvix: Exception caught.",
                "****> handlePositionUpdate - Talvix: Exception caught.",
                "****> handleWeatherRequest - Talvix: Exception caught."}));
}

}  // namespace
}  // namespace talvix
