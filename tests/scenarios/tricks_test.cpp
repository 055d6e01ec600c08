// The tricks: the key table and its three tests, each family's poses tick by
// tick, the points, the manuals and the unlocks.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "support/scenario.h"
#include "trick_poses.h"

namespace torvin::scenario {
namespace {

using Ticks = std::vector<std::vector<std::string>>;

// One family of tricks: its key, its timer and the pictures of every tick.
struct Family {
  char key;
  int timer;
  int points;
  Ticks ticks;
};

// Every trick as its pictures on the bike "01".
std::vector<Family> families() {
  std::vector<Family> out;
  for (const TrickPoses& trick : trickPoses()) {
    Family family{trick.key, trick.timer, trick.points, {}};
    for (const auto& tick : trick.ticks) {
      std::vector<std::string> files;
      for (const std::string& pose : tick) {
        files.push_back("01/" + pose + ".jpg");
      }
      family.ticks.push_back(files);
    }
    out.push_back(family);
  }
  return out;
}

// A started game with the rider in the air and every secret trick unlocked.
struct AirGame : CoreGame {
  AirGame() {
    form.Image1.Top = 100;
    form.game.secret1Unlocked = 1;
    form.game.secret2Unlocked = 1;
    form.game.secret3Unlocked = 1;
    form.game.secret4Unlocked = 1;
  }
  void press(char key) { form.Form_KeyDown(static_cast<std::uint16_t>(key), 0); }
};

TEST(TrickFamilies, EveryFamilyTickByTickAndItsPoints) {
  for (const Family& family : families()) {
    SCOPED_TRACE(std::string("key ") + family.key);
    AirGame game;
    Form1& f = game.form;
    // The sprite takes the picture's size even where a size is set just before it.
    game.press(family.key);
    EXPECT_TRUE(game.takePictures().empty());  // the request alone shows nothing
    for (std::size_t i = 0; i < family.ticks.size(); ++i) {
      EXPECT_EQ(f.game.runScore, 0) << "tick " << i;
      f.tick(family.timer);
      EXPECT_EQ(game.takePictures(), family.ticks[i]) << "tick " << i + 1;
      EXPECT_EQ(f.Image1.Width, 100.0F);  // every picture of the fake is 100 x 90
      EXPECT_EQ(f.Image1.Height, 90.0F);
      const bool closed = i + 1 == family.ticks.size();
      EXPECT_EQ(f.game.trickBusy, closed ? 0 : 1) << "tick " << i + 1;
    }
    EXPECT_EQ(f.game.runScore, family.points);
    EXPECT_EQ(f.game.totalScore, family.points);
    f.tick(family.timer);  // closed: nothing more
    EXPECT_TRUE(game.takePictures().empty());
    EXPECT_EQ(f.game.totalScore, family.points);
  }
}

TEST(TrickFamilies, ATrickOnTheGroundIsHeld) {
  for (const Family& family : families()) {
    SCOPED_TRACE(std::string("key ") + family.key);
    AirGame game;
    Form1& f = game.form;
    game.press(family.key);
    f.tick(family.timer);
    f.tick(family.timer);
    game.takePictures();
    f.Image1.Top = 182;  // back on the ground: no step, trickBusy stays, no points
    f.tick(family.timer);
    f.tick(family.timer);
    EXPECT_TRUE(game.takePictures().empty());
    EXPECT_EQ(f.game.trickBusy, 1);
    EXPECT_EQ(f.game.totalScore, 0);
    f.Image1.Top = 181;  // up again: the animation goes on where it stopped
    f.tick(family.timer);
    EXPECT_EQ(game.takePictures(), family.ticks[2]);
  }
}

// Only a trick's first pose makes the rider busy: with a candy bar and secret
// trick 1 side by side, the candy bar's end frees the rider although secret
// trick 1 goes on, so that coming down then is no fall.
TEST(TrickFamilies, TheFirstTrickToCloseFreesTheRider) {
  AirGame game;
  Form1& f = game.form;
  game.press('Y');
  game.press('Z');
  f.Timer3_Timer();
  f.Timer5_Timer();
  EXPECT_EQ(f.game.trickBusy, 1);
  for (int tick = 2; tick <= 4; ++tick) {
    f.Timer3_Timer();
  }
  EXPECT_EQ(f.game.candyBarState, 0);
  EXPECT_EQ(f.game.trickBusy, 0);
  for (int tick = 2; tick <= 4; ++tick) {
    f.Timer5_Timer();
    EXPECT_EQ(f.game.trickBusy, 0) << "secret trick 1, tick " << tick;
  }
  EXPECT_EQ(f.game.secret1State, 1);
  f.Image1.Top = 182;
  f.Timer4_Timer();
  EXPECT_TRUE(game.platform.messages.empty());
  EXPECT_TRUE(f.Score.items().empty());
}

TEST(KeyTable, TheThreeTestsLookAtExactlyTheirStates) {
  const std::vector<std::pair<const char*, Integer GameState::*>> airStates = {
      {"canCan", &GameState::canCanState},       {"noHander", &GameState::noHanderState},
      {"superman", &GameState::supermanState},   {"backflip", &GameState::backflipState},
      {"frontflip", &GameState::frontflipState}, {"nothing", &GameState::nothingState},
      {"tailwhip", &GameState::tailwhipState},   {"barspin", &GameState::barspinState},
      {"candyBar", &GameState::candyBarState},   {"threeSixty", &GameState::threeSixtyState},
      {"tabletop", &GameState::tabletopState},   {"secret1", &GameState::secret1State},
      {"secret2", &GameState::secret2State},     {"secret3", &GameState::secret3State},
      {"secret4", &GameState::secret4State}};
  for (const auto& [name, field] : airStates) {
    SCOPED_TRACE(name);
    // Free: every one of the fifteen blocks the ordinary air keys.
    AirGame game;
    game.form.game.*field = 1;
    game.press('U');
    if (field != &GameState::threeSixtyState) {
      EXPECT_EQ(game.form.game.threeSixtyState, 0);
    }
    // Secret-free: all but the candy bar, the 360 and the tabletop block a secret key.
    const bool ignored = field == &GameState::candyBarState ||
                         field == &GameState::threeSixtyState || field == &GameState::tabletopState;
    const char key = field == &GameState::secret4State ? 'C' : 'V';
    auto secretState = key == 'C' ? &GameState::secret3State : &GameState::secret4State;
    game.press(key);
    EXPECT_EQ(game.form.game.*secretState, ignored ? 1 : 0);
  }
  {
    // Not part of the free test: the manuals, the hop and trickBusy.
    AirGame game;
    game.form.game.manualState = 1;
    game.form.game.noseManualState = 1;
    game.form.game.hopState = 1;
    game.form.game.trickBusy = 1;
    game.press('Q');
    EXPECT_EQ(game.form.game.canCanState, 1);
    EXPECT_EQ(game.form.game.canCanCount, 5);
  }
  {
    // The height test: 181 is in the air, 182 is the ground; H, A and S act anyway.
    AirGame game;
    game.form.Image1.Top = 182;
    for (char key : std::string("QWERTDFGYUIZXCV")) {
      game.press(key);
    }
    EXPECT_EQ(game.form.game.frontflipState, 0);
    EXPECT_EQ(game.form.game.secret1State, 0);
    game.press('H');
    game.press('A');
    game.press('S');
    EXPECT_EQ(game.form.game.hopState, 1);
    EXPECT_EQ(game.form.game.manualCount, 10);
    EXPECT_EQ(game.form.game.noseManualCount, 10);
    game.form.Image1.Top = 181;
    game.press('T');
    EXPECT_EQ(game.form.game.frontflipState, 1);
    EXPECT_EQ(game.form.game.frontflipCount, 9);
  }
  {
    // An unlock flag counts only when it is exactly 1.
    AirGame game;
    game.form.game.secret1Unlocked = 2;
    game.press('Z');
    EXPECT_EQ(game.form.game.secret1State, 0);
  }
}

TEST(KeyTable, KeysOutsideTheTableChangeNothing) {
  Script script;
  script.click(0).key(1050, "H").dump(1300);
  for (const char* key : {"B", "J", "K", "L", "M", "N", "O", "P", "32", "13", "27", "37", "38",
                          "48", "57", "97", "112", "65535", "0"}) {
    script.key(1300, key);
  }
  script.dump(1300);
  const Played run = play(script);
  const auto dumps = run.dumps();
  ASSERT_EQ(dumps.size(), 2U);
  EXPECT_LT(top(dumps[0]), 182);  // in the air, where the trick keys would act
  EXPECT_EQ(dumps[0], dumps[1]);
}

TEST(Manuals, LengthsPerBikeRepressesAndTheEnd) {
  for (const auto& [bike, length] : {std::pair{"01", 10}, {"02", 14}, {"03", 19}}) {
    SCOPED_TRACE(bike);
    CoreGame game;
    Form1& f = game.form;
    f.game.bikeId = bike;
    f.game.trickBusy = 1;  // the end of a manual clears it, whoever set it
    f.Form_KeyDown('A', 0);
    for (int i = 1; i <= length; ++i) {
      f.Timer6_Timer();
      EXPECT_EQ(f.game.runScore, i);
      const bool last = i == length;
      std::vector<std::string> expected = {std::string(bike) + "/009.jpg"};
      if (last) {
        expected.push_back(std::string(bike) + "/002.jpg");
      }
      EXPECT_EQ(game.takePictures(), expected);
      EXPECT_EQ(f.game.manualState, last ? 0 : 1);
    }
    EXPECT_EQ(f.game.trickBusy, 0);
    f.Timer6_Timer();
    EXPECT_EQ(f.game.totalScore, length);
  }
  {
    // In the air a manual waits with its count untouched; both manuals at once,
    // the nose manual's pose shown last.
    CoreGame game;
    Form1& f = game.form;
    f.Image1.Top = 150;
    f.Form_KeyDown('A', 0);
    f.Form_KeyDown('S', 0);
    f.Timer6_Timer();
    EXPECT_EQ(f.game.manualCount, 10);
    EXPECT_EQ(f.game.totalScore, 0);
    EXPECT_TRUE(game.takePictures().empty());
    f.Image1.Top = 182;
    f.Timer6_Timer();
    EXPECT_EQ(game.takePictures(), (std::vector<std::string>{"01/009.jpg", "01/015.jpg"}));
    EXPECT_EQ(f.game.totalScore, 2);
  }
}

TEST(Manuals, InPlay) {
  {
    // One press (bike "01"): ten ground ticks of Timer6 (100, 200, ... from "Start").
    Script script;
    script.click(0).key(50, "A").dump(950).dump(1000).end(1500);
    const Played run = play(script);
    EXPECT_EQ(state(run.dumpAt(950), "runScore"), 9);
    EXPECT_EQ(state(run.dumpAt(1000), "runScore"), 10);
    EXPECT_EQ(state(run.dumpAt(1000), "manualState"), 0);
    std::vector<std::string> expected(10, "01/009.jpg");
    expected.push_back("01/002.jpg");
    EXPECT_EQ(run.pictures(1, 1500), expected);
  }
  {
    // A second press half-way: ten more ground ticks from that press, 15 in all.
    Script script;
    script.click(0).key(50, "A").key(550, "A").dump(1500).end(2500);
    const Played run = play(script);
    EXPECT_EQ(state(run.dumpAt(1500), "totalScore"), 15);
    EXPECT_EQ(state(run.dumpAt(1500), "manualState"), 0);
    EXPECT_EQ(run.pictures(1, 2500).size(), 16U);
  }
  {
    // A hop ends a running manual at the next tick, with "002.jpg" and no point.
    Script script;
    script.click(0).key(50, "A").key(350, "H").dump(400).end(1000);
    const Played run = play(script);
    EXPECT_EQ(state(run.dumpAt(400), "totalScore"), 3);  // 100, 200, 300; the hop at 400
    EXPECT_EQ(state(run.dumpAt(400), "manualState"), 0);
    EXPECT_EQ(run.dumpAt(400)["Image1"]["Picture"], "01/002.jpg");
  }
  {
    // A hop before "Start" leaves the hops of the run whole: the one at 1400
    // ends the manual as it leaves the ground, after the ground ticks of 1200
    // and 1300.
    Script script;
    script.key(100, "H").click(1100).key(1150, "A").key(1250, "H").dump(1400).dump(5000);
    const Played run = play(script);
    EXPECT_EQ(state(run.dumpAt(1400), "manualState"), 0);
    EXPECT_EQ(state(run.dumpAt(1400), "totalScore"), 2);
    EXPECT_EQ(run.dumpAt(1400)["Image1"]["Picture"], "01/002.jpg");
    EXPECT_LT(top(run.dumpAt(1400)), 182);
    EXPECT_EQ(state(run.dumpAt(5000), "totalScore"), 2);
  }
}

TEST(Scores, StopAt32767) {
  AirGame game;
  Form1& f = game.form;
  f.game.runScore = 32760;
  f.game.totalScore = 32765;
  game.press('Q');
  for (int i = 0; i < 4; ++i) {
    f.Timer3_Timer();
  }
  EXPECT_EQ(f.game.runScore, 32765);
  EXPECT_EQ(f.game.totalScore, 32767);
  f.Image1.Top = 182;
  f.Form_KeyDown('A', 0);
  for (int i = 0; i < 5; ++i) {
    f.Timer6_Timer();
  }
  EXPECT_EQ(f.game.runScore, 32767);
  EXPECT_EQ(f.game.totalScore, 32767);
}

// Points made before "Start" (the rider stands at 176 then, in the air): the
// backflips of Timer5 unlock secret trick 1; its key is refused before that and
// again between "Start" and the next tick of Timer7.
TEST(Unlocks, SecretKeyRefusedBeforeItsUnlockAndRightAfterStart) {
  Script script;
  script.key(5, "Z").dump(5);
  // A backflip every eight ticks of Timer5 (180 ms): the 15th closes at 21600.
  for (long long t = 10; t < 21600; t += 180) {
    script.key(t, "R");
  }
  script.dump(21600).dump(21630);
  // A candy bar and secret trick 1 side by side; Q is refused while Z runs.
  script.key(21700, "Y").key(21710, "Z").dump(21710).key(22450, "Q").dump(22450).dump(23040);
  // "Start" just after the Timer7 tick at 23170; a hop up on Timer1 at 23200.
  script.click(23180).key(23180, "H").key(23200, "Z").dump(23200).key(23240, "Z").dump(23240);
  const Played run = play(script);

  EXPECT_EQ(state(run.dumpAt(5), "secret1State"), 0);
  // The backflips before "Start": seven poses on seven ticks, "002.jpg" twice on the eighth.
  const auto first = run.timedPictures(1, 1440);
  ASSERT_EQ(first.size(), 9U);
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(first[static_cast<std::size_t>(i)].first, 180 * (i + 1));
  }
  EXPECT_EQ(first[7], (std::pair<long long, std::string>{1440, "01/002.jpg"}));
  EXPECT_EQ(first[8], (std::pair<long long, std::string>{1440, "01/002.jpg"}));

  const json at150 = run.dumpAt(21600);
  EXPECT_EQ(state(at150, "totalScore"), 150);
  EXPECT_EQ(at150["Label2"]["Visible"], false);
  const json unlocked = run.dumpAt(21630);
  EXPECT_EQ(unlocked["Label2"]["Visible"], true);
  EXPECT_EQ(unlocked["Label2"]["Caption"], "Secret trick 1 - Z");
  EXPECT_EQ(unlocked["Label2"]["BackColor"], "#00FF00");
  EXPECT_EQ(state(unlocked, "secret1Unlocked"), 1);
  EXPECT_EQ(unlocked["Label3"]["Visible"], false);

  const json both = run.dumpAt(21710);
  EXPECT_EQ(state(both, "candyBarState"), 1);
  EXPECT_EQ(state(both, "secret1State"), 1);
  EXPECT_EQ(state(run.dumpAt(22450), "canCanState"), 0);
  const std::vector<std::pair<long long, std::string>> sideBySide = {
      {21780, "01/023.jpg"}, {21800, "01/003.jpg"}, {21960, "01/024.jpg"}, {22000, "01/029.jpg"},
      {22140, "01/025.jpg"}, {22200, "01/003.jpg"}, {22320, "01/002.jpg"}, {22400, "01/002.jpg"},
      {22500, "01/023.jpg"}, {22680, "01/024.jpg"}, {22860, "01/025.jpg"}, {23040, "01/002.jpg"},
      {23040, "01/002.jpg"}};
  EXPECT_EQ(run.timedPictures(21701, 23040), sideBySide);
  EXPECT_EQ(state(run.dumpAt(23040), "totalScore"), 170);

  const json refused = run.dumpAt(23200);
  EXPECT_LT(top(refused), 182);
  EXPECT_EQ(state(refused, "secret1Unlocked"), 0);
  EXPECT_EQ(state(refused, "secret1State"), 0);
  EXPECT_EQ(refused["Label2"]["Visible"], true);
  const json accepted = run.dumpAt(23240);
  EXPECT_EQ(state(accepted, "secret1Unlocked"), 1);
  EXPECT_EQ(state(accepted, "secret1State"), 1);
  EXPECT_EQ(state(accepted, "secret1Count"), 9);
}

TEST(Unlocks, ThresholdsThroughTheCore) {
  CoreGame game;
  Form1& f = game.form;
  const std::pair<int, Label*> labels[] = {
      {150, &f.Label2}, {350, &f.Label3}, {600, &f.Label4}, {1000, &f.Label5}};
  const char* captions[] = {"Secret trick 1 - Z", "Secret trick 2 - X", "Secret trick 3 - C",
                            "Secret trick 4 - V"};
  Integer GameState::*flags[] = {&GameState::secret1Unlocked, &GameState::secret2Unlocked,
                                 &GameState::secret3Unlocked, &GameState::secret4Unlocked};
  for (int i = 0; i < 4; ++i) {
    f.game.totalScore = static_cast<Integer>(labels[i].first - 1);
    f.Timer7_Timer();
    EXPECT_FALSE(labels[i].second->Visible) << i;
    EXPECT_EQ(f.game.*flags[i], 0) << i;
    f.game.totalScore = static_cast<Integer>(labels[i].first);
    f.Timer7_Timer();
    EXPECT_TRUE(labels[i].second->Visible) << i;
    EXPECT_EQ(labels[i].second->Caption.get(), captions[i]);
    EXPECT_EQ(labels[i].second->BackColor.get(), rgb(0, 255, 0));
    EXPECT_EQ(f.game.*flags[i], 1) << i;
  }
}

}  // namespace
}  // namespace torvin::scenario
