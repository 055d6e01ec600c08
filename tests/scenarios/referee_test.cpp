// The referee on Timer4: falls, ramp crashes (see also the course's tests), the
// score list, the new bikes and the ground clamp.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "support/scenario.h"

namespace torvin::scenario {
namespace {

using Timed = std::vector<std::pair<long long, std::string>>;

// Every interval change at time t, as "Timer5=130", in order.
std::vector<std::string> intervalsAt(const Played& run, long long t) {
  std::vector<std::string> out;
  for (const json& e : run.events("interval")) {
    if (e["t"] == t) {
      out.push_back(e["timer"].get<std::string>() + "=" + std::to_string(e["value"].get<int>()));
    }
  }
  return out;
}

TEST(Referee, ABackflipThatCannotCloseBeforeTheLandingFails) {
  // R on the first descending step (7920); Timer5 runs at 130 then 180 ms in the
  // descent (restarted at 7920, 8160 and 8200): poses at 8050, 8380 and 8560, then
  // the landing at 8680 with the flip unfinished.
  Script script;
  script.click(0).dump(10).key(7920, "R").dump(8700).dump(8900).dump(9000).dump(10020);
  const Played run = play(script, {.trace = true, .autoclose = 300});

  const Timed expected = {{8050, "01/009.jpg"}, {8380, "01/010.jpg"}, {8560, "01/011.jpg"},
                          {8680, "01/002.jpg"}, {8680, "01/000.jpg"}, {9980, "01/002.jpg"}};
  EXPECT_EQ(run.timedPictures(7920, 10020), expected);
  EXPECT_EQ(run.messages(), (Timed{{8680, "Fail!"}}));  // one box: no second tick meanwhile
  const std::vector<std::pair<long long, int>> timer2 = {{8680, 0}, {8980, 40}};
  EXPECT_EQ(run.intervals("Timer2", 1, 10020), timer2);
  const auto pauses = run.events("pause");
  ASSERT_EQ(pauses.size(), 1U);
  EXPECT_EQ(pauses[0]["t"], 8980);
  EXPECT_EQ(pauses[0]["ms"], kPauseMs);
  const auto scores = run.events("score");
  ASSERT_EQ(scores.size(), 1U);
  EXPECT_EQ(scores[0]["t"], 8980 + kPauseMs);
  EXPECT_EQ(scores[0]["item"], "0");

  // While the box is open the course stands still.
  const json during = run.dumpAt(8700);
  EXPECT_EQ(during["MessageBox"], "Fail!");
  EXPECT_EQ(interval(during, "Timer2"), 0);
  EXPECT_EQ(during["Line6"]["X1"], run.dumpAt(8900)["Line6"]["X1"]);

  // After the pause: the rider back at 182 in "002.jpg", with that picture's size.
  const json started = run.dumpAt(10);
  const json after = run.dumpAt(9980);  // the dump of 9000 waited for the pause
  EXPECT_EQ(after["MessageBox"], nullptr);
  EXPECT_EQ(top(after), 182);
  EXPECT_EQ(after["Image1"]["Picture"], "01/002.jpg");
  EXPECT_EQ(after["Image1"]["Width"], started["Image1"]["Width"]);
  EXPECT_EQ(after["Image1"]["Height"], started["Image1"]["Height"]);
  EXPECT_EQ(state(after, "trickBusy"), 0);
  EXPECT_EQ(state(after, "backflipState"), 0);
  EXPECT_EQ(state(after, "backflipCount"), 6);  // left where the flip stopped
  EXPECT_EQ(after["Score"]["items"], json::array({"0"}));
  EXPECT_EQ(interval(after, "Timer2"), 40);
  EXPECT_NE(run.dumpAt(10020)["Line6"]["X1"], after["Line6"]["X1"]);  // the course runs again
}

TEST(Referee, ACleanLandingPostsNothing) {
  // A can-can in the descent closes at 8600, before the landing at 8680.
  Script script;
  script.click(0).key(7920, "Q").dump(8600).dump(8700).end(9000);
  const Played run = play(script);
  EXPECT_EQ(state(run.dumpAt(8600), "runScore"), 5);
  EXPECT_EQ(state(run.dumpAt(8700), "runScore"), 5);
  EXPECT_EQ(state(run.dumpAt(8700), "rampLaunched"), 0);
  EXPECT_TRUE(run.events("score").empty());
  EXPECT_TRUE(run.messages().empty());
}

// Three runs: 35 points of manuals ended by a fall, a fall with no points, and
// 120 points of manuals ended by a crash at the ramp.
TEST(Referee, TheScoreListHoldsOneLinePerRun) {
  Script script;
  script.click(0);
  // Played 1: manual ticks 100 to 3500 (A again at 550, 1550, 2550): 35 points. A hop
  // (Timer1 at 3600) with a backflip (first pose on Timer5 at 3780) lands at 4800.
  script.key(50, "A").key(550, "A").key(1550, "A").key(2550, "A").key(3550, "H").key(3600, "R");
  // The box (4800-4900) and the pause (to 5900) hold every timer: all tick again
  // at 5900. Played 2: a hop from 6100 with a backflip from 6260 lands at 7300.
  script.key(5950, "H").key(6100, "R");
  // After the pause (to 8400) the course resumes on its tick 157; the ramps meet
  // the rider at 9200, 17120 and 25000, the flights land at 10800 and 18720.
  // Played 3: manual ground ticks 10900 to 24400 less 16 in the air: 120 points,
  // then a can-can asked for on the ramp at 25020.
  for (long long t = 10850; t <= 23350; t += 500) {
    script.key(t, "A");
  }
  script.key(23450, "A").dump(24300).dump(24400).key(25020, "Q").dump(26100);
  const Played run = play(script, {.trace = true, .autoclose = 100});

  EXPECT_EQ(run.messages(), (Timed{{4800, "Fail!"}, {7300, "Fail!"}}));
  const auto scores = run.events("score");
  ASSERT_EQ(scores.size(), 3U);
  EXPECT_EQ(scores[0]["t"], 5900);
  EXPECT_EQ(scores[1]["t"], 8400);
  EXPECT_EQ(scores[2]["t"], 25040 + kPauseMs);  // the crash is handled in the course's instant
  EXPECT_EQ(run.scoreItems(), (std::vector<std::string>{"35", "0", "120"}));
  EXPECT_EQ(state(run.dumpAt(24300), "runScore"), 119);
  EXPECT_EQ(state(run.dumpAt(24400), "runScore"), 120);
  EXPECT_EQ(state(run.dumpAt(24400), "manualState"), 0);
  const json last = run.dumpAt(26100);
  EXPECT_EQ(last["Score"]["items"], json::array({"35", "0", "120"}));
  EXPECT_EQ(state(last, "runScore"), 0);
  EXPECT_EQ(state(last, "totalScore"), 155);
}

// The course's timing with no fall: the tick of step s at 40 * ceil(s / 2); the
// n-th ramp (n from 0) meets the rider on step 354 + 395 n and lands it on step
// 434 + 395 n. A manual tick (Timer6, every 100 ms) counts when the rider is on
// the ground.
bool onGround(long long t) {
  for (long long n = 0;; ++n) {
    const long long contact = 40 * ((354 + 395 * n + 1) / 2);
    const long long landing = 40 * ((434 + 395 * n + 1) / 2);
    if (t < contact) {
      return true;
    }
    if (t < landing) {
      return false;
    }
  }
}

long long landingAfter(long long t) {
  for (long long n = 0;; ++n) {
    const long long landing = 40 * ((434 + 395 * n + 1) / 2);
    if (landing > t) {
      return landing;
    }
  }
}

// The manuals of one script (presses at times that are never a multiple of 100)
// played by the rules: each press sets the bike's length; each ground tick takes
// one off and scores; the count at 0 ends the manual.
struct ManualModel {
  std::vector<long long> presses;
  long long t600 = 0;
  long long t1300 = 0;
  std::map<long long, int> totalAt;  // after each tick of Timer6

  void play(long long until) {
    int total = 0;
    int count = 0;
    bool running = false;
    int length = 10;
    std::size_t next = 0;
    for (long long t = 100; t <= until; t += 100) {
      while (next < presses.size() && presses[next] < t) {
        length = presses[next] > t1300 && t1300 != 0 ? 19
                 : presses[next] > t600 && t600 != 0 ? 14
                                                     : 10;
        running = true;
        count = length;
        ++next;
      }
      if (running && onGround(t)) {
        --count;
        ++total;
        if (total == 600) {
          t600 = t;
        }
        if (total == 1300) {
          t1300 = t;
        }
      }
      if (running && count == 0) {
        running = false;
      }
      totalAt[t] = total;
    }
  }
};

TEST(Referee, NewBikesAt600And1300) {
  // Pass 1: manuals from 50 on, every 500 ms, to find when 600 is reached.
  ManualModel model;
  for (long long t = 50; t < 80000; t += 500) {
    model.presses.push_back(t);
  }
  model.play(80000);
  const long long t600 = model.t600;
  ASSERT_GT(t600, 0);
  // Stop pressing there; one single press after the second landing from then on.
  model.presses.erase(std::remove_if(model.presses.begin(), model.presses.end(),
                                     [&](long long t) { return t > t600; }),
                      model.presses.end());
  const long long single02 = landingAfter(landingAfter(t600) + 1) + 50;
  const long long end02 = (single02 / 100 + 14) * 100;  // its 14th ground tick
  model.presses.push_back(single02);
  for (long long t = end02 + 50; t < end02 + 100000; t += 500) {
    model.presses.push_back(t);
  }
  model.t600 = 0;
  model.play(end02 + 100000);
  ASSERT_EQ(model.t600, t600);
  const long long t1300 = model.t1300;
  ASSERT_GT(t1300, 0);
  model.presses.erase(std::remove_if(model.presses.begin(), model.presses.end(),
                                     [&](long long t) { return t > t1300; }),
                      model.presses.end());
  const long long single03 = landingAfter(landingAfter(t1300) + 1) + 50;
  const long long end03 = (single03 / 100 + 19) * 100;
  model.presses.push_back(single03);
  model.play(end03 + 500);

  Script script;
  script.click(0);
  for (long long t : model.presses) {
    script.key(t, "A");
  }
  script.dump(t600).dump(t600 + 2).dump(single02).dump(end02 - 100).dump(end02);
  script.dump(single03).dump(end03).dump(end03 + 500);
  const Played run = play(script, {.trace = true, .autoclose = 0});

  EXPECT_EQ(run.messages(), (Timed{{t600 + 1, "New Bike!"}, {t1300 + 1, "New Bike!"}}));
  EXPECT_EQ(intervalsAt(run, t600 + 1),
            (std::vector<std::string>{"Timer1=210", "Timer3=190", "Timer5=173", "Timer7=67",
                                      "Timer8=165"}));
  EXPECT_EQ(intervalsAt(run, t1300 + 1),
            (std::vector<std::string>{"Timer1=220", "Timer3=182", "Timer5=167", "Timer7=65",
                                      "Timer8=162"}));
  EXPECT_EQ(state(run.dumpAt(t600), "totalScore"), 600);
  EXPECT_EQ(run.dumpAt(t600)["GameState"]["bikeId"], "01");
  EXPECT_EQ(run.dumpAt(t600 + 2)["GameState"]["bikeId"], "02");
  EXPECT_EQ(run.dumpAt(t600 + 2)["Image1"]["Picture"], "02/002.jpg");

  // Each bike's pictures come from its own folder.
  for (const auto& [t, file] : run.timedPictures(0, run.lines().back()["t"].get<long long>())) {
    const std::string folder = t <= t600 ? "01/" : t <= t1300 ? "02/" : "03/";
    EXPECT_EQ(file.substr(0, 3), folder) << "t=" << t;
  }

  // One press of A with the bike "02": exactly 14 points; with "03": 19.
  const int before02 = state(run.dumpAt(single02), "totalScore");
  EXPECT_EQ(state(run.dumpAt(end02 - 100), "manualState"), 1);
  EXPECT_EQ(state(run.dumpAt(end02), "totalScore"), before02 + 14);
  EXPECT_EQ(state(run.dumpAt(end02), "manualState"), 0);
  EXPECT_EQ(run.dumpAt(end02)["Image1"]["Picture"], "02/002.jpg");
  const int before03 = state(run.dumpAt(single03), "totalScore");
  EXPECT_EQ(state(run.dumpAt(end03), "totalScore"), before03 + 19);
  EXPECT_EQ(state(run.dumpAt(end03), "manualState"), 0);

  const json last = run.dumpAt(end03 + 500);
  EXPECT_EQ(state(last, "totalScore"), model.totalAt[end03 + 500]);
  EXPECT_EQ(state(last, "runScore"), model.totalAt[end03 + 500]);
  EXPECT_EQ(last["GameState"]["bikeId"], "03");
  EXPECT_EQ(interval(last, "Timer1"), 220);
  EXPECT_EQ(interval(last, "Timer3"), 182);
  EXPECT_EQ(interval(last, "Timer7"), 65);
  EXPECT_EQ(interval(last, "Timer8"), 162);
  EXPECT_EQ(interval(last, "Timer5"), 180);  // a ramp flight has set it since
  EXPECT_EQ(last["Label5"]["Visible"], true);
  EXPECT_TRUE(run.events("score").empty());
}

TEST(Referee, OneTickThroughTheCore) {
  {
    // A fall and the second bike's threshold in the same tick: "Fail!" first.
    CoreGame game;
    Form1& f = game.form;
    f.game.totalScore = 600;
    f.game.runScore = 42;
    f.game.trickBusy = 1;
    f.game.barspinState = 1;
    f.Image1.Top = 182;
    // Under "Fail!" the host repaints the fallen rider, although its picture
    // has the riding one's size.
    const std::uint64_t before = f.revision();
    bool fallenShown = false;
    game.platform.whileMessageOpen = [&](const std::string& text) {
      if (text == "Fail!") {
        fallenShown = f.revision() != before && f.Image1.picture()->name == "01/000.jpg";
      }
    };
    f.Timer4_Timer();
    EXPECT_TRUE(fallenShown);
    EXPECT_EQ(game.platform.messages, (std::vector<std::string>{"Fail!", "New Bike!"}));
    EXPECT_EQ(f.Score.items(), std::vector<std::string>{"42"});
    EXPECT_EQ(game.platform.pauses, 1);
    EXPECT_EQ(game.takePictures(),
              (std::vector<std::string>{"01/000.jpg", "01/002.jpg", "02/002.jpg"}));
    EXPECT_EQ(f.game.bikeId, "02");
    EXPECT_EQ(f.game.barspinState, 0);
  }
  {
    // Points from before the first "Start": both bikes in one tick.
    CoreGame game;
    Form1& f = game.form;
    f.game.totalScore = 1300;
    f.Timer4_Timer();
    EXPECT_EQ(game.platform.messages, (std::vector<std::string>{"New Bike!", "New Bike!"}));
    EXPECT_EQ(f.game.bikeId, "03");
    EXPECT_EQ(f.Timer1.Interval(), 220);
    EXPECT_EQ(f.Timer8.Interval(), 162);
  }
  {
    // The ground clamp, whatever trickBusy; 182 itself is left alone; a rider in
    // the air in the middle of a trick is no fall.
    CoreGame game;
    Form1& f = game.form;
    f.Image1.Top = 190;
    f.Timer4_Timer();
    EXPECT_EQ(f.Image1.Top, 182.0F);
    EXPECT_TRUE(f.Score.items().empty());
    f.game.trickBusy = 1;
    f.Image1.Top = 181;
    f.Timer4_Timer();
    EXPECT_EQ(f.Image1.Top, 181.0F);
    EXPECT_TRUE(game.platform.messages.empty());
    f.Image1.Top = 190;
    f.Timer4_Timer();
    EXPECT_EQ(game.platform.messages, std::vector<std::string>{"Fail!"});
    EXPECT_EQ(f.Image1.Top, 182.0F);
  }
  {
    // A crash: no message, the ramp 100 pixels left, the run posted.
    CoreGame game;
    Form1& f = game.form;
    f.game.trickBusy = 2;
    f.game.runScore = 7;
    f.Line6.X1 = 300;
    f.Line6.X2 = 388;
    f.Image1.Top = 120;
    // The fallen rider lies on the ground through the pause, not in the air.
    float topInPause = 0;
    std::string pictureInPause;
    game.platform.whilePaused = [&] {
      topInPause = f.Image1.Top;
      pictureInPause = f.Image1.picture()->name;
    };
    f.Timer4_Timer();
    EXPECT_EQ(topInPause, 182.0F);
    EXPECT_EQ(pictureInPause, "01/000.jpg");
    EXPECT_TRUE(game.platform.messages.empty());
    EXPECT_EQ(f.Line6.X1, 200.0F);
    EXPECT_EQ(f.Line6.X2, 288.0F);
    EXPECT_EQ(f.Image1.Top, 182.0F);
    EXPECT_EQ(f.Score.items(), std::vector<std::string>{"7"});
    EXPECT_EQ(f.Timer2.Interval(), 40);
    EXPECT_EQ(f.game.trickBusy, 0);
  }
}

}  // namespace
}  // namespace torvin::scenario
