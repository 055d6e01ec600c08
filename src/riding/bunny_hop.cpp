// The bunny hop (key H): the rider goes up in steps that halve and comes down in
// steps that double, relative to wherever it is, over seven ticks of Timer1.
#include <cmath>

#include "shell/form1.h"

namespace torvin {

void Form1::Timer1_Timer() {
  if (game.hopState == 1) {
    // Leaving the ground ends any manual.
    game.manualCount = 0;
    game.noseManualCount = 0;
    Image1.Top = Image1.Top - static_cast<float>(game.hopStep);
    game.hopStep = roundToInteger(game.hopStep / 2.0);
    if (game.hopStep == 2) {
      game.hopState = 2;  // the top: turn round in this very tick
    }
  }
  if (game.hopState == 2) {
    game.hopStep = addInteger(game.hopStep, game.hopStep);
    Image1.Top = Image1.Top + static_cast<float>(game.hopStep);
    if (game.hopStep >= game.hopStepLimit) {
      game.hopState = 0;
    }
  }
}

}  // namespace torvin
