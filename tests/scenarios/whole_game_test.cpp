// The whole game, end to end: whole_game.script plays four minutes with no fall
// and no crash, reaches the bike "03" and unlocks every secret trick. Each
// milestone is checked against the game's rules, snapshot by snapshot.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/scenario.h"
#include "trick_poses.h"

namespace torvin::scenario {
namespace {

std::string wholeGameScript() {
  std::ifstream in(std::string(TORVIN_SCENARIO_DIR) + "/whole_game.script");
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Unlock {
  int threshold;
  const char* label;
  const char* caption;
  const char* flag;
};
constexpr Unlock kUnlocks[] = {{150, "Label2", "Secret trick 1 - Z", "secret1Unlocked"},
                               {350, "Label3", "Secret trick 2 - X", "secret2Unlocked"},
                               {600, "Label4", "Secret trick 3 - C", "secret3Unlocked"},
                               {1000, "Label5", "Secret trick 4 - V", "secret4Unlocked"}};

TEST(WholeGame, ScriptedPlayWinsTheGame) {
  const Played run = play(wholeGameScript());

  // Two new bikes, each box closed by the player at once, and no run ended.
  const auto messages = run.messages();
  ASSERT_EQ(messages.size(), 2U);
  EXPECT_EQ(messages[0].second, "New Bike!");
  EXPECT_EQ(messages[1].second, "New Bike!");
  const long long promoted02 = messages[0].first;
  const long long promoted03 = messages[1].first;
  EXPECT_TRUE(run.events("score").empty());
  EXPECT_TRUE(run.events("pause").empty());
  std::vector<std::string> changes02;
  std::vector<std::string> changes03;
  for (const json& e : run.events("interval")) {
    const std::string change =
        e["timer"].get<std::string>() + "=" + std::to_string(e["value"].get<int>());
    if (e["t"] == promoted02) {
      changes02.push_back(change);
    } else if (e["t"] == promoted03) {
      changes03.push_back(change);
    }
  }
  EXPECT_EQ(changes02, (std::vector<std::string>{"Timer1=210", "Timer3=190", "Timer5=173",
                                                 "Timer7=67", "Timer8=165"}));
  EXPECT_EQ(changes03, (std::vector<std::string>{"Timer1=220", "Timer3=182", "Timer5=167",
                                                 "Timer7=65", "Timer8=162"}));

  // Snapshot by snapshot: one run all along, the bikes and the unlocks on time.
  const auto dumps = run.dumps();
  ASSERT_GT(dumps.size(), 200U);
  int previousTotal = 0;
  for (std::size_t i = 0; i < dumps.size(); ++i) {
    const json& d = dumps[i];
    const long long t = d["t"].get<long long>();
    const int total = state(d, "totalScore");
    SCOPED_TRACE("t=" + std::to_string(t));
    EXPECT_EQ(state(d, "runScore"), total);
    EXPECT_GE(total, previousTotal);
    previousTotal = total;
    const std::string bike = t < promoted02 ? "01" : t < promoted03 ? "02" : "03";
    if (d["MessageBox"].is_null()) {
      EXPECT_EQ(d["GameState"]["bikeId"], bike);
    }
    if (t < promoted02 - 1) {
      EXPECT_LT(total, 600);
    }
    if (t < promoted03 - 1) {
      EXPECT_LT(total, 1300);
    }
    if (t > promoted03) {
      EXPECT_GE(total, 1300);
    } else if (t > promoted02) {
      EXPECT_GE(total, 600);
    }
    if (i == 0 || dumps[i - 1]["t"].get<long long>() + 1000 > t) {
      continue;  // the unlock checks want a tick of Timer7 between two snapshots
    }
    const int before = state(dumps[i - 1], "totalScore");
    for (const Unlock& u : kUnlocks) {
      if (before >= u.threshold) {
        EXPECT_EQ(d[u.label]["Visible"], true) << u.label;
        EXPECT_EQ(d[u.label]["Caption"], u.caption);
        EXPECT_EQ(d[u.label]["BackColor"], "#00FF00");
        EXPECT_EQ(state(d, u.flag), 1);
      } else if (total < u.threshold) {
        EXPECT_EQ(d[u.label]["Visible"], false) << u.label;
        EXPECT_EQ(state(d, u.flag), 0);
      }
    }
  }

  // Every pose comes from the folder of the bike of its moment.
  std::vector<std::string> poses;
  for (const auto& [t, file] : run.timedPictures(0, dumps.back()["t"].get<long long>())) {
    const std::string folder = t < promoted02 ? "01/" : t < promoted03 ? "02/" : "03/";
    EXPECT_EQ(file.substr(0, 3), folder) << "t=" << t;
    poses.push_back(file.substr(3, 3));
  }
  // Every trick of the game is played to its end at least once.
  for (const TrickPoses& trick : trickPoses()) {
    std::vector<std::string> sequence;
    for (const auto& tick : trick.ticks) {
      sequence.insert(sequence.end(), tick.begin(), tick.end());
    }
    EXPECT_NE(std::search(poses.begin(), poses.end(), sequence.begin(), sequence.end()),
              poses.end())
        << "trick " << trick.key;
  }

  // The end: the last bike, its intervals, the four secret tricks.
  const json& last = dumps.back();
  EXPECT_EQ(last["GameState"]["bikeId"], "03");
  EXPECT_EQ(interval(last, "Timer1"), 220);
  EXPECT_EQ(interval(last, "Timer3"), 182);
  EXPECT_EQ(interval(last, "Timer7"), 65);
  EXPECT_EQ(interval(last, "Timer8"), 162);
  for (const Unlock& u : kUnlocks) {
    EXPECT_EQ(last[u.label]["Visible"], true);
    EXPECT_EQ(state(last, u.flag), 1);
  }
  EXPECT_EQ(last["Score"]["items"], json::array());
}

}  // namespace
}  // namespace torvin::scenario
