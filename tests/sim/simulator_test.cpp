// The simulator's clock and event rules: what happens at one instant, message
// boxes as nested loops, the pause and the late ticks after it.
#include <gtest/gtest.h>

#include "support/deadline.h"
#include "support/scenario.h"

namespace torvin::scenario {
namespace {

TEST(SimulatorClock, TimersDueAtAnInstantComeBeforeTheScriptLines) {
  const Played run = play(
      "0 click Command1\n"
      "40 dump\n"
      "79 dump\n"
      "80 dump\n");
  const auto dumps = run.dumps();
  ASSERT_EQ(dumps.size(), 3U);
  EXPECT_EQ(dumps[0]["t"], 40);
  EXPECT_EQ(dumps[0]["Line6"]["X1"], 1592);  // the tick at 40 made two course steps
  EXPECT_EQ(dumps[1]["Line6"]["X1"], 1592);
  EXPECT_EQ(dumps[2]["Line6"]["X1"], 1584);
  EXPECT_EQ(dumps[2]["Image2"]["Picture"], "bg006.gif");
  EXPECT_EQ(dumps[2]["MessageBox"], nullptr);
}

TEST(SimulatorClock, LoadSetsTheTrickTimersAtTimeZero) {
  const Played run = play("0 end\n");
  const auto intervals = run.events("interval");
  ASSERT_EQ(intervals.size(), 5U);
  EXPECT_EQ(intervals[0],
            json::parse(R"({"t":0,"event":"interval","timer":"Timer1","value":200})"));
  EXPECT_EQ(intervals[4]["timer"], "Timer8");
}

TEST(SimulatorBoxes, AnOpenBoxTakesKeysAndClicksWhileTheGameRunsOn) {
  const Played run = play(
      "0 click Command1\n"
      "100 click Command2\n"
      "150 key H\n"
      "160 click Command2\n"
      "500 dump\n"
      "500 close\n"
      "500 close\n"
      "500 dump\n"
      "500 close\n"
      "500 dump\n");
  const auto dumps = run.dumps();
  ASSERT_EQ(dumps.size(), 3U);
  EXPECT_EQ(dumps[0]["MessageBox"].get<std::string>().rfind("Trick list:", 0), 0U);
  EXPECT_EQ(dumps[0]["GameState"]["hopState"], 0);    // the key went to the box
  EXPECT_EQ(dumps[0]["Line6"]["X1"], 1600 - 8 * 12);  // the course kept going
  EXPECT_EQ(dumps[1]["MessageBox"], "");              // the third box has no text
  EXPECT_EQ(dumps[2]["MessageBox"], nullptr);
  EXPECT_EQ(run.events("message").size(), 3U);  // the second click did nothing
}

TEST(SimulatorBoxes, AutocloseClosesEachBoxAfterItsTime) {
  const Played run = play("0 click Command2\n1000 end\n", {.trace = true, .autoclose = 100});
  const auto opened = run.events("message");
  const auto closed = run.events("closed");
  ASSERT_EQ(opened.size(), 3U);
  ASSERT_EQ(closed.size(), 3U);
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(opened[i]["t"], 100 * static_cast<int>(i));
    EXPECT_EQ(closed[i]["t"], 100 * static_cast<int>(i) + 100);
    EXPECT_EQ(closed[i]["text"], opened[i]["text"]);
  }
}

// A hop from the ground with a backflip that cannot close: the rider lands at
// 1400 in the middle of the flip, and the referee's tick at 1400 calls it a fall.
constexpr const char* kFallScript =
    "0 click Command1\n"
    "10 key H\n"
    "250 key R\n";

TEST(SimulatorBoxes, TheTimerThatOpenedABoxWaitsAndLateTicksComeOnce) {
  const Played run = play(std::string(kFallScript) +
                          "1900 close\n"
                          "2300 dump\n"
                          "3000 dump\n");
  const auto messages = run.events("message");
  ASSERT_EQ(messages.size(), 1U);  // no second fall while "Fail!" is open
  EXPECT_EQ(messages[0]["text"], "Fail!");
  EXPECT_EQ(messages[0]["t"], 1400);

  const auto pauses = run.events("pause");
  ASSERT_EQ(pauses.size(), 1U);
  EXPECT_EQ(pauses[0]["t"], 1900);
  EXPECT_EQ(pauses[0]["ms"], kPauseMs);

  const auto dumps = run.dumps();
  ASSERT_EQ(dumps.size(), 2U);
  // The dump at 2300 fell inside the pause: it is handled after it, with the
  // clock's time, after one late tick of the course (not one per missed tick).
  EXPECT_EQ(dumps[0]["t"], 1900 + kPauseMs);
  const auto& items = dumps[0]["Score"]["items"];
  EXPECT_EQ(items, json::array({"0"}));
  EXPECT_EQ(dumps[0]["Image1"]["Picture"], "01/002.jpg");
  EXPECT_EQ(dumps[0]["Image1"]["Top"], 182);
  const float rampAtFall = 1600.0F - 8 * 35;  // the course stopped at 1400 (35 ticks)
  EXPECT_EQ(dumps[0]["Line6"]["X1"], rampAtFall - 8);
  // From then on the course ticks every 40 ms after that late tick.
  EXPECT_EQ(dumps[1]["Line6"]["X1"], rampAtFall - 8 - 8 * ((3000 - 2900) / 40));
}

// "How to" opens its first box at 1300; the fall's "Fail!" opens inside it at 1400.
TEST(SimulatorBoxes, ACloseActsOnTheInnermostBox) {
  const Played run = play(std::string(kFallScript) +
                          "1300 click Command2\n"
                          "1500 close\n"
                          "1500 dump\n"
                          "3100 close\n"
                          "3100 dump\n");
  const auto opened = run.events("message");
  ASSERT_EQ(opened.size(), 3U);  // the help's first box, "Fail!", the help's second box
  const json help = opened[0]["text"];
  EXPECT_EQ(opened[1]["text"], "Fail!");
  const auto dumps = run.dumps();
  ASSERT_EQ(dumps.size(), 2U);
  // The dump waited for the referee's pause after "Fail!".
  EXPECT_EQ(dumps[0]["t"], 1500 + kPauseMs);
  EXPECT_EQ(dumps[0]["MessageBox"], help) << "the first close did not close the innermost box";
  EXPECT_EQ(dumps[1]["MessageBox"], opened[2]["text"]);
  const auto closed = run.events("closed");
  ASSERT_EQ(closed.size(), 2U);
  EXPECT_EQ(closed[0]["text"], "Fail!");
  EXPECT_EQ(closed[1]["text"], help);
}

TEST(SimulatorBoxes, AnOuterAutocloseWaitsForTheInnerBoxAndItsHandler) {
  const testing::Deadline deadline(
      std::chrono::seconds(10),
      "an automatic close never closed the inner box (it acted on the outer one), so the "
      "game stood still in it");
  const Played run = play(std::string(kFallScript) +
                              "1300 click Command2\n"
                              "5000 end\n",
                          {.trace = true, .autoclose = 150});
  const auto opened = run.events("message");
  const auto closed = run.events("closed");
  ASSERT_GE(opened.size(), 2U);
  EXPECT_EQ(opened[0]["t"], 1300);
  EXPECT_EQ(opened[1]["text"], "Fail!");
  EXPECT_EQ(opened[1]["t"], 1400);
  ASSERT_GE(closed.size(), 2U);
  EXPECT_EQ(closed[0]["text"], "Fail!");
  EXPECT_EQ(closed[0]["t"], 1550);
  // The help box was due at 1450; it closes once "Fail!" is closed and the
  // referee's tick, pause included, has returned.
  EXPECT_EQ(closed[1]["text"], opened[0]["text"]);
  EXPECT_EQ(closed[1]["t"], 1550 + kPauseMs);
}

TEST(SimulatorScript, TheRunEndsWithTheLastLineEvenInsideABox) {
  const Played run = play("0 click Command1\n5 click Command2\n");
  ASSERT_FALSE(run.lines().empty());
  EXPECT_EQ(run.lines().back()["event"], "message");
  EXPECT_EQ(run.events("closed").size(), 0U);

  // A last line that closes a box ends the run there: the referee's tick that
  // opened "Fail!" does not go on to its pause.
  const Played fall = play(std::string(kFallScript) + "1500 close\n");
  ASSERT_FALSE(fall.lines().empty());
  EXPECT_EQ(fall.lines().back()["event"], "closed");
  EXPECT_TRUE(fall.events("pause").empty());
}

}  // namespace
}  // namespace torvin::scenario
