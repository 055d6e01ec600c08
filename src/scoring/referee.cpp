// The referee on Timer4: a trick still running when the rider is back on the
// ground is a fall ("Fail!"), a crash at the ramp ends the run too; either way the
// run's points go into the Score list. Points also bring new bikes, and the rider
// is never left below the ground.
#include <cstddef>
#include <string>

#include "shell/form1.h"

namespace torvin {

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

  // New bikes: each one in turn, once the total reaches its threshold.
  for (std::size_t next = 1; next < kBikes.size(); ++next) {
    const Bike& bike = kBikes[next];
    if (game.totalScore >= bike.threshold && game.bikeId == kBikes[next - 1].id) {
      platform_.messageBox("New Bike!");
      game.bikeId = bike.id;
      showPose("002.jpg");
      setBikeIntervals(bike);
    }
  }

  // The rider never stays below the ground.
  if (Image1.Top > kGroundTop) {
    Image1.Top = kGroundTop;
  }
}

}  // namespace torvin
