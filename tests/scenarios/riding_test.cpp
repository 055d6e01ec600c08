// The riding: the scrolling course, the ramp flight and the bunny hop, played
// through the simulator. With "Start" clicked at 0, course step s happens in the
// tick of Timer2 at t = 40 * ceil(s / 2); Timer1 (the hop) ticks every 200 ms
// from the window's load.
#include <gtest/gtest.h>

#include <memory>

#include "support/deadline.h"
#include "support/scenario.h"

namespace torvin::scenario {
namespace {

// The time of the course tick that runs step s, with "Start" at 0.
constexpr long long stepTime(long long s) {
  return 40 * ((s + 1) / 2);
}

float asFloat(const json& value) {
  return static_cast<float>(value.get<double>());
}

TEST(Course, TwoStepsPerTickAndTheRePlacements) {
  // "Start" at 50: the course ticks at 90, 130, ...; step s runs at 50 + stepTime(s).
  auto at = [](long long s) { return 50 + stepTime(s); };
  Script script;
  script.dump(30).click(50).dump(at(2)).dumps(at(10), at(12), 40).dumps(at(40), at(42), 40);
  script.dumps(at(298), at(300), 40).dumps(at(394), at(396), 40);
  const Played run = play(script);

  const json before = run.dumpAt(30);
  EXPECT_EQ(asFloat(before["Line6"]["X1"]), 1600.0F);
  EXPECT_EQ(asFloat(before["Line6"]["X2"]), 1688.0F);
  EXPECT_EQ(state(before, "courseRunning"), 0);

  // One tick after "Start": two steps.
  const json first = run.dumpAt(at(2));
  EXPECT_EQ(asFloat(first["Line6"]["X1"]), 1592.0F);
  EXPECT_EQ(asFloat(first["Line6"]["X2"]), 1680.0F);
  EXPECT_EQ(asFloat(first["Image2"]["Left"]), 1592.0F);
  EXPECT_EQ(asFloat(first["Image2"]["Top"]), 182.0F);
  EXPECT_EQ(first["Image2"]["Picture"], "bg006.gif");
  EXPECT_EQ(asFloat(first["Image3"]["Left"]), 596.0F);
  EXPECT_EQ(asFloat(first["Image4"]["Left"]), 544.0F);
  EXPECT_EQ(asFloat(first["Image5"]["Left"]), 492.0F);
  EXPECT_EQ(asFloat(first["Image9"]["Left"]), 4998.0F);
  EXPECT_EQ(asFloat(first["Image6"]["Left"]), -20.0F);
  EXPECT_EQ(asFloat(first["Image7"]["Left"]), -620.0F);
  EXPECT_EQ(asFloat(first["Image8"]["Left"]), 580.0F);

  // Image7 (from -580) reaches exactly -800 on step 11 and is put at 800 on that
  // very step; step 12 moves it on to 780.
  EXPECT_EQ(asFloat(run.dumpAt(at(10))["Image7"]["Left"]), -780.0F);
  EXPECT_EQ(asFloat(run.dumpAt(at(12))["Image7"]["Left"]), 780.0F);
  // Image6 (from 20) likewise on step 41.
  EXPECT_EQ(asFloat(run.dumpAt(at(40))["Image6"]["Left"]), -780.0F);
  EXPECT_EQ(asFloat(run.dumpAt(at(42))["Image6"]["Left"]), 780.0F);

  // Image3 (from 600, 2 a step) is at exactly 0 after step 300 and jumps then.
  EXPECT_EQ(asFloat(run.dumpAt(at(298))["Image3"]["Left"]), 4.0F);
  const float jumped = asFloat(run.dumpAt(at(300))["Image3"]["Left"]);
  EXPECT_GT(jumped, 0.0F);
  EXPECT_LT(jumped, 2500.0F);

  // The ramp's foot goes from 24 to 20 on step 395 and the next ramp is laid at
  // once: after step 396 it stands at 1596, the ramp picture with it.
  EXPECT_EQ(asFloat(run.dumpAt(at(394))["Line6"]["X1"]), 24.0F);
  const json replaced = run.dumpAt(at(396));
  EXPECT_EQ(asFloat(replaced["Line6"]["X1"]), 1596.0F);
  EXPECT_EQ(asFloat(replaced["Line6"]["X2"]), 1684.0F);
  EXPECT_EQ(asFloat(replaced["Image2"]["Left"]), 1596.0F);

  // The random re-placements repeat exactly from one run to the next.
  const Played again = play(script);
  EXPECT_EQ(again.dumpAt(at(300))["Image3"]["Left"], run.dumpAt(at(300))["Image3"]["Left"]);
}

TEST(Course, TheFirstRampFlightWithNoKey) {
  Script script;
  script.click(0).dump(stepTime(266)).dump(stepTime(268));
  script.dumps(stepTime(352), stepTime(436), 40).dumps(stepTime(748), stepTime(750), 40);
  const Played run = play(script);

  // The ramp's foot enters the client area (x < 531) on step 268.
  EXPECT_EQ(asFloat(run.dumpAt(stepTime(266))["Line6"]["X1"]), 536.0F);
  EXPECT_EQ(asFloat(run.dumpAt(stepTime(268))["Line6"]["X1"]), 528.0F);

  // Step 352: no contact yet. Step 354 (tick 177, t = 7080): contact, the ramp's
  // top at 272, one climbing step of 4 pixels.
  const json riding = run.dumpAt(stepTime(352));
  EXPECT_EQ(state(riding, "onRamp"), 0);
  EXPECT_EQ(top(riding), 182);
  const json contact = run.dumpAt(7080);
  EXPECT_EQ(asFloat(contact["Line6"]["X2"]), 272.0F);
  EXPECT_EQ(state(contact, "onRamp"), 1);
  EXPECT_EQ(state(contact, "rampLaunched"), 1);
  EXPECT_EQ(top(contact), 178);
  EXPECT_EQ(state(contact, "flightStep"), 28);
  EXPECT_EQ(contact["Image1"]["Picture"], "01/009.jpg");

  // The climb: 4 pixels per step up to step 394, Top 18 and flightStep -132.
  for (long long s = 356; s <= 394; s += 2) {
    const json d = run.dumpAt(stepTime(s));
    EXPECT_EQ(top(d), 182 - 4 * (s - 353)) << "step " << s;
    EXPECT_EQ(state(d, "flightStep"), 32 - 4 * (s - 353)) << "step " << s;
  }
  const json highest = run.dumpAt(stepTime(394));
  EXPECT_EQ(top(highest), 18);
  EXPECT_EQ(state(highest, "flightStep"), -132);
  EXPECT_EQ(state(highest, "onRamp"), 1);
  // One climbing pose per climbing step: step 354 alone in its tick, then two a tick.
  const auto climbing = run.pictures(7080, stepTime(394));
  EXPECT_EQ(climbing, std::vector<std::string>(41, "01/009.jpg"));

  // The descent from step 395: 2 pixels a step while flightStep <= 0.
  const json descending = run.dumpAt(stepTime(396));
  EXPECT_EQ(state(descending, "onRamp"), 0);
  EXPECT_EQ(top(descending), 22);
  EXPECT_EQ(state(descending, "flightStep"), -112);
  EXPECT_EQ(top(run.dumpAt(stepTime(406))), 42);
  EXPECT_EQ(state(run.dumpAt(stepTime(406)), "flightStep"), -12);
  // Then 5.2 pixels a step, flightStep 9, 21, 34, 48, ...
  EXPECT_EQ(asFloat(run.dumpAt(stepTime(408))["Image1"]["Top"]), 49.2F);
  EXPECT_EQ(state(run.dumpAt(stepTime(408)), "flightStep"), 9);
  EXPECT_EQ(state(run.dumpAt(stepTime(410)), "flightStep"), 34);
  EXPECT_EQ(state(run.dumpAt(stepTime(432)), "flightStep"), 1060);
  EXPECT_NEAR(top(run.dumpAt(stepTime(432))), 174.0, 0.001);
  EXPECT_EQ(state(run.dumpAt(stepTime(432)), "rampLaunched"), 1);

  // Timer5: 130 from the first descending step (395), back to 180 after step 408,
  // 130 and 180 again on step 409 (flightStep 9 < 20), then left at 180.
  const auto timer5 = run.intervals("Timer5", 7080, stepTime(750));
  const std::vector<std::pair<long long, int>> expectedTimer5 = {
      {stepTime(395), 130}, {stepTime(408), 180}, {stepTime(409), 130}, {stepTime(409), 180}};
  EXPECT_EQ(timer5, expectedTimer5);

  // The landing on step 434: back at 182 with "002.jpg", flightStep 32.
  const json landed = run.dumpAt(stepTime(434));
  EXPECT_EQ(top(landed), 182);
  EXPECT_EQ(state(landed, "rampLaunched"), 0);
  EXPECT_EQ(state(landed, "flightStep"), 32);
  EXPECT_EQ(landed["Image1"]["Picture"], "01/002.jpg");
  EXPECT_EQ(interval(landed, "Timer5"), 180);
  EXPECT_EQ(run.pictures(stepTime(396), stepTime(436)), std::vector<std::string>{"01/002.jpg"});
  EXPECT_EQ(run.timedPictures(stepTime(434), stepTime(434)).size(), 1U);

  // The ramp comes back every 395 steps: the next contact on step 749.
  EXPECT_EQ(state(run.dumpAt(stepTime(748)), "onRamp"), 0);
  EXPECT_EQ(top(run.dumpAt(stepTime(748))), 182);
  EXPECT_EQ(state(run.dumpAt(stepTime(750)), "onRamp"), 1);
  EXPECT_EQ(top(run.dumpAt(stepTime(750))), 174);  // steps 749 and 750 both climb
}

TEST(BunnyHop, TheHopTableTickByTick) {
  // H on the ground after "Start", between two ticks of Timer1 (200, 400, ...);
  // H again while the hop rises and while it falls changes nothing.
  Script script;
  script.click(0).key(1050, "H").key(1450, "H").key(1850, "H").key(2250, "H");
  script.dumps(1000, 2600, 200);
  const Played run = play(script);

  struct Row {
    float top;
    int hopStep;
    int hopState;
  };
  const Row table[] = {{182, 32, 0}, {150, 16, 1}, {134, 8, 1},  {126, 4, 1}, {126, 4, 2},
                       {134, 8, 2},  {150, 16, 2}, {182, 32, 0}, {182, 32, 0}};
  for (int i = 0; i < 9; ++i) {
    const long long t = 1000 + 200 * i;
    const json d = run.dumpAt(t);
    EXPECT_EQ(asFloat(d["Image1"]["Top"]), table[i].top) << "t=" << t;
    EXPECT_EQ(state(d, "hopStep"), table[i].hopStep) << "t=" << t;
    EXPECT_EQ(state(d, "hopState"), table[i].hopState) << "t=" << t;
    // A hop on the flat leaves the course's flight alone.
    EXPECT_EQ(state(d, "rampLaunched"), 0) << "t=" << t;
    EXPECT_EQ(state(d, "flightStep"), 32) << "t=" << t;
  }
  EXPECT_TRUE(run.intervals("Timer5", 1, 2600).empty());
  EXPECT_EQ(run.pictures(1, 2600), std::vector<std::string>{});
}

// The heights a hop passes through, from `before` (a snapshot just before its
// first tick) over the snapshots right after each tick of Timer1, every 200 ms
// from `firstTick`, until the hop is over. The top point exists only inside the
// tick where the hop turns: the rider rose by the step that it then comes back
// down by, the hopStep left after that tick.
std::vector<float> hopPath(const Played& run, long long before, long long firstTick) {
  std::vector<float> path = {asFloat(run.dumpAt(before)["Image1"]["Top"])};
  for (long long t = firstTick; path.size() < 20; t += 200) {
    const json d = run.dumpAt(t);
    if (state(run.dumpAt(t == firstTick ? before : t - 200), "hopState") == 1 &&
        state(d, "hopState") == 2) {
      path.push_back(path.back() - static_cast<float>(state(d, "hopStep")));
    }
    path.push_back(asFloat(d["Image1"]["Top"]));
    if (state(d, "hopState") == 0) {
      break;
    }
  }
  return path;
}

const std::vector<float> kWholeHop = {182, 150, 134, 126, 122, 126, 134, 150, 182};

TEST(BunnyHop, BeforeStartAHopEndsAtItsFirstFallingStep) {
  // hopStepLimit is 0 until "Start": from 176 the ticks give 144, 128, 120 and
  // 116 then 120, and hopStep is left at 4.
  Script script;
  script.key(100, "H").dumps(200, 1000, 200);
  const Played run = play(script);
  const float tops[] = {144, 128, 120, 120, 120};
  const int steps[] = {16, 8, 4, 4, 4};
  const int states[] = {1, 1, 1, 0, 0};
  for (int i = 0; i < 5; ++i) {
    const json d = run.dumpAt(200 + 200 * i);
    EXPECT_EQ(asFloat(d["Image1"]["Top"]), tops[i]) << i;
    EXPECT_EQ(state(d, "hopStep"), steps[i]) << i;
    EXPECT_EQ(state(d, "hopState"), states[i]) << i;
    EXPECT_EQ(state(d, "hopStepLimit"), 0) << i;
  }
}

// Whatever a hop before "Start" left behind, the run that "Start" begins is the
// run of a game where no key was pressed before it: whole hops, flightStep 32,
// the same ramp flights.
TEST(BunnyHop, StartGivesEveryRunAWholeHop) {
  struct Case {
    const char* what;
    long long start;  // "Start" clicked
    int hopStepAtStart;
  };
  for (const Case& c :
       {Case{"a hop finished before Start", 1100, 4}, Case{"Start during a hop", 500, 8}}) {
    SCOPED_TRACE(c.what);
    const long long hop = c.start + 150;  // H after "Start"
    const long long firstTick = (hop / 200 + 1) * 200;
    auto script = [&](bool hopBeforeStart) {
      Script s;
      if (hopBeforeStart) {
        s.key(100, "H");
      }
      s.dump(c.start - 1).click(c.start).dump(c.start).key(hop, "H");
      s.dump(firstTick - 1).dumps(firstTick, firstTick + 1400, 200);
      s.dumps(firstTick + 1440, c.start + 9000, 40);  // the first ramp flight
      return s;
    };
    const Played hopped = play(script(true));
    EXPECT_EQ(state(hopped.dumpAt(c.start - 1), "hopStep"), c.hopStepAtStart);

    const json started = hopped.dumpAt(c.start);
    EXPECT_EQ(state(started, "hopState"), 0);
    EXPECT_EQ(state(started, "hopStep"), 32);
    EXPECT_EQ(state(started, "hopStepLimit"), 32);
    EXPECT_EQ(state(started, "flightStep"), 32);
    EXPECT_EQ(hopPath(hopped, firstTick - 1, firstTick), kWholeHop);

    // From "Start" on, snapshot for snapshot, the game with no key before it.
    const Played calm = play(script(false));
    const auto a = hopped.dumps();
    const auto b = calm.dumps();
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 1; i < a.size(); ++i) {
      EXPECT_EQ(a[i], b[i]) << "t=" << a[i]["t"];
    }
  }
}

// The ramp descent ends a nose manual: one asked for during the flight never
// scores after the landing (on step 434, t = 8680).
TEST(Course, TheDescentEndsANoseManual) {
  Script script;
  script.click(0).key(7500, "S").dump(7500).key(8300, "S").dump(8300).dump(8680).dump(10500);
  const Played run = play(script);
  EXPECT_EQ(state(run.dumpAt(7500), "noseManualState"), 1);  // asked for in the climb
  EXPECT_EQ(state(run.dumpAt(8300), "noseManualState"), 1);  // and again in the descent
  const json landed = run.dumpAt(8680);
  EXPECT_EQ(top(landed), 182);
  EXPECT_EQ(state(landed, "noseManualState"), 0);
  EXPECT_EQ(state(run.dumpAt(10500), "totalScore"), 0);
  for (const std::string& file : run.pictures(7500, 10500)) {
    EXPECT_NE(file, "01/015.jpg");
  }
}

TEST(Course, ATrickOnTheRampCrashesOnlyWithoutAHop) {
  {
    const testing::Deadline deadline(
        std::chrono::seconds(10),
        "the crash never ended: the referee took the end of the run for another crash at "
        "every tick (trickBusy left set), so the script's next line never came");
    // Q during the climb (Top 178 at 7080): the next climbing step reports a crash.
    Script script;
    script.click(0).key(7100, "Q").dump(7100).dump(7120).dump(7130);
    const Played run = play(script);
    EXPECT_EQ(state(run.dumpAt(7100), "canCanState"), 1);
    // The referee's tick right after that course tick (7120) handles it: the
    // dumps come after the pause.
    const json after = run.dumpAt(8120);
    EXPECT_EQ(state(after, "trickBusy"), 0);
    EXPECT_EQ(state(after, "canCanState"), 0);
    EXPECT_EQ(state(after, "canCanCount"), 5);  // the count is left as it was
    // The rider did not climb on steps 355 and 356; the ramp (foot 176 after step
    // 356) went 100 pixels left, then steps 357 and 358 ran late at 8120.
    EXPECT_EQ(asFloat(after["Line6"]["X1"]), 68.0F);
    EXPECT_EQ(asFloat(after["Line6"]["X2"]), 156.0F);
    EXPECT_EQ(run.scoreItems(), std::vector<std::string>{"0"});
    EXPECT_TRUE(run.messages().empty());
    EXPECT_TRUE(run.intervals("Timer2", 1, 9000).empty());  // the course is never stopped
    const auto pauses = run.events("pause");
    ASSERT_EQ(pauses.size(), 1U);
    EXPECT_EQ(pauses[0]["t"], 7120);
  }
  {
    // With a hop under way (H at 6900: ticks from 7000) the same key is no crash;
    // the rider does not climb while the can-can runs, and climbs on after it.
    Script script;
    script.click(0).key(6900, "H").key(7090, "Q").dumps(7080, 7160, 40).dumps(7800, 7840, 40);
    script.end(9000);
    const Played run = play(script);
    EXPECT_EQ(top(run.dumpAt(7080)), 150 - 4);  // the hop's first 32 and one climbing step
    EXPECT_EQ(top(run.dumpAt(7120)), 146);
    EXPECT_EQ(top(run.dumpAt(7160)), 146);
    EXPECT_EQ(state(run.dumpAt(7160), "flightStep"), 28);
    EXPECT_EQ(state(run.dumpAt(7800), "runScore"), 5);  // the can-can closed at 7800
    EXPECT_EQ(top(run.dumpAt(7840)), top(run.dumpAt(7800)) - 8);
    EXPECT_EQ(state(run.dumpAt(7840), "flightStep"), state(run.dumpAt(7800), "flightStep") - 8);
    EXPECT_TRUE(run.events("pause").empty());
    EXPECT_TRUE(run.scoreItems().empty());
  }
}

// A ramp crash late in a climb puts the rider at 182 while the flight is still
// launched; the course then counts the flight as landed, and the next flight is
// exactly an undisturbed one.
TEST(Course, AFlightEndedOnTheGroundCountsAsLanded) {
  Script crash;
  crash.click(0).key(7700, "Q").dump(7700);
  // The crash: steps 385 and 386 (tick at 7720) do not climb; the referee moves
  // the ramp (foot -44) in the same instant and pauses to 8720; the late course
  // tick at 8720 lays the next ramp on its first step.
  const long long replacedTick = 8720;
  crash.dump(replacedTick);
  for (long long k = 170; k <= 220; ++k) {
    crash.dump(replacedTick + 40 * k);
  }
  const Played crashed = play(crash);
  EXPECT_EQ(top(crashed.dumpAt(7700)), 58);
  EXPECT_EQ(state(crashed.dumpAt(7700), "flightStep"), -92);
  EXPECT_EQ(crashed.scoreItems(), std::vector<std::string>{"0"});
  const json landed = crashed.dumpAt(replacedTick);
  EXPECT_EQ(asFloat(landed["Line6"]["X1"]), 1596.0F);
  EXPECT_EQ(top(landed), 182);
  EXPECT_EQ(state(landed, "onRamp"), 0);
  EXPECT_EQ(state(landed, "rampLaunched"), 0);
  EXPECT_EQ(state(landed, "flightStep"), 32);

  // The undisturbed second flight: its ramp is laid on step 395, the first step
  // of the tick at 7920, the same place in a tick as after the crash.
  Script calm;
  calm.click(0);
  for (long long k = 170; k <= 220; ++k) {
    calm.dump(7920 + 40 * k);
  }
  const Played undisturbed = play(calm);
  for (long long k = 170; k <= 220; ++k) {
    const json a = crashed.dumpAt(replacedTick + 40 * k);
    const json b = undisturbed.dumpAt(7920 + 40 * k);
    EXPECT_EQ(a["Image1"]["Top"], b["Image1"]["Top"]) << "tick " << k;
    EXPECT_EQ(state(a, "flightStep"), state(b, "flightStep")) << "tick " << k;
    EXPECT_EQ(state(a, "rampLaunched"), state(b, "rampLaunched")) << "tick " << k;
  }
}

// Through the core: flightStep stops at the ends of its 16-bit range, and a
// product on an exact half goes to the even neighbour.
TEST(Course, FlightStepArithmetic) {
  auto descending = [](int flightStep) {
    auto game = std::make_unique<CoreGame>();
    Form1& f = game->form;
    f.Line6.X1 = 1000;  // no ramp near: the rider is in the descent
    f.Line6.X2 = 1088;
    f.Image1.Top = 20;
    f.game.rampLaunched = 1;
    f.game.flightStep = static_cast<Integer>(flightStep);
    return game;
  };
  {
    auto game = descending(32000);
    game->form.Timer2_Timer();
    EXPECT_EQ(game->form.game.flightStep, 32767);
    game->form.Timer2_Timer();
    EXPECT_EQ(game->form.game.flightStep, 32767);
  }
  {
    // 35 x 1.1 is exactly 38.5: to 38; then 48 x 1.1 = 52.8: to 53.
    auto game = descending(25);
    game->form.Timer2_Timer();
    EXPECT_EQ(game->form.game.flightStep, 53);
    EXPECT_FLOAT_EQ(game->form.Image1.Top, 20 + 5.2F + 5.2F);
  }
  {
    // 75 x 1.1 is exactly 82.5: to 82; then 92 x 1.1 = 101.2: to 101.
    auto game = descending(65);
    game->form.Timer2_Timer();
    EXPECT_EQ(game->form.game.flightStep, 101);
  }
  {
    // 15 x 1.1 is exactly 16.5: to 16; then 26 x 1.1 = 28.6: to 29.
    auto game = descending(5);
    game->form.Timer2_Timer();
    EXPECT_EQ(game->form.game.flightStep, 29);
  }
  {
    // 5 x 1.1 is exactly 5.5: to 6; then 16 x 1.1 = 17.6: to 18.
    auto game = descending(-5);
    game->form.Timer2_Timer();
    EXPECT_EQ(game->form.game.flightStep, 18);
  }
  {
    // The climb at the other end: flightStep stays at -32768.
    CoreGame game;
    Form1& f = game.form;
    f.Line6.X1 = 172;  // the ramp's top 120 pixels right of the rider after the move
    f.Line6.X2 = 260;
    f.game.flightStep = -32766;
    f.Timer2_Timer();
    EXPECT_EQ(f.game.onRamp, 1);
    EXPECT_EQ(f.game.flightStep, -32768);
    f.Timer2_Timer();
    EXPECT_EQ(f.game.flightStep, -32768);
  }
  {
    // Before "Start" a course tick changes nothing.
    CoreGame game(false);
    game.form.Timer2_Timer();
    EXPECT_EQ(game.form.Line6.X1, 1600.0F);
    EXPECT_EQ(game.form.Image1.Top, 176.0F);
  }
}

}  // namespace
}  // namespace torvin::scenario
