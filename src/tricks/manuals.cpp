// The manuals on Timer6: a point for every tick the rider spends on the ground in
// the manual pose, for as long as the player keeps pressing the key.
#include "shell/form1.h"

namespace torvin {

namespace {

struct Manual {
  Integer GameState::*state;
  Integer GameState::*count;
  const char* pose;
};

constexpr Manual kManuals[] = {
    {&GameState::manualState, &GameState::manualCount, "009.jpg"},
    {&GameState::noseManualState, &GameState::noseManualCount, "015.jpg"},
};

}  // namespace

void Form1::Timer6_Timer() {
  for (const Manual& manual : kManuals) {
    if (game.*manual.state != 1) {
      continue;
    }
    if (Image1.Top == kGroundTop) {
      showPose(manual.pose);
      game.*manual.count = addInteger(game.*manual.count, -1);
      addPoints(game, 1);
    }
    // A count at 0 ends the manual: the key was not pressed again in time, or a
    // hop has just lifted the rider off the ground.
    if (game.*manual.count <= 0) {
      game.*manual.state = 0;
      game.trickBusy = 0;
      showPose("002.jpg");
    }
  }
}

}  // namespace torvin
