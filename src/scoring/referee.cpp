// The referee on Timer4: a trick still running when the rider is back on the
// ground is a fall ("Fail!"), a crash at the ramp ends the run too; either way the
// run's points go into the Score list. Points also bring new bikes, and the rider
// is never left below the ground.
#include <array>
#include <string>

#include "shell/form1.h"

namespace torvin {

namespace {

struct Bike {
  const char* id;
  const char* replaces;
  int threshold;  // totalScore that brings this bike
  // Intervals of Timer1, Timer3, Timer5, Timer7 and Timer8, set in this order.
  std::array<int, 5> intervals;
};

constexpr std::array<Bike, 2> kNewBikes = {{
    {"02", "01", 600, {210, 190, 173, 67, 165}},
    {"03", "02", 1300, {220, 182, 167, 65, 162}},
}};

}  // namespace

void Form1::Timer4_Timer() {
  // The run's end, shared by a fall and a crash.
  auto endRun = [this] {
    Score.AddItem(std::to_string(game.runScore));
    game.runScore = 0;
    game.trickBusy = 0;
    for (auto field : kAirTrickStates) {
      game.*field = 0;
    }
  };

  // A fall: back on the ground in the middle of a trick.
  if (game.trickBusy == 1 && Image1.Top >= kGroundTop) {
    showPose("000.jpg");
    Timer2.setInterval(0);
    platform_.messageBox("Fail!");
    Timer2.setInterval(40);
    platform_.pause();
    endRun();
    Image1.Height = 114;
    Image1.Width = 114;
    Image1.Top = kGroundTop;
    showPose("002.jpg");
  }

  // A crash at the ramp: no message, the course runs on, the ramp jumps back.
  if (game.trickBusy == 2) {
    showPose("000.jpg");
    Image1.Top = kGroundTop;
    Line6.X1 = Line6.X1 - 100.0F;
    Line6.X2 = Line6.X2 - 100.0F;
    platform_.pause();
    endRun();
    Image1.Height = 114;
    Image1.Width = 114;
    showPose("002.jpg");
  }

  // New bikes.
  for (const Bike& bike : kNewBikes) {
    if (game.totalScore >= bike.threshold && game.bikeId == bike.replaces) {
      platform_.messageBox("New Bike!");
      game.bikeId = bike.id;
      showPose("002.jpg");
      Timer1.setInterval(bike.intervals[0]);
      Timer3.setInterval(bike.intervals[1]);
      Timer5.setInterval(bike.intervals[2]);
      Timer7.setInterval(bike.intervals[3]);
      Timer8.setInterval(bike.intervals[4]);
    }
  }

  // The rider never stays below the ground.
  if (Image1.Top > kGroundTop) {
    Image1.Top = kGroundTop;
  }
}

}  // namespace torvin
