// The course scroller: two course steps per tick of Timer2. The rider never
// moves sideways; the ramp, the sky, the far scenery and the ground tiles move
// left past it. The same step lifts the rider up the ramp, brings it down and
// lands it, and reports a crash at the ramp (trickBusy = 2) to the referee.
#include "shell/form1.h"

namespace torvin {

namespace {

// Where a new ramp starts: its foot at 1600, its top at 1688, far to the right.
constexpr float kRampFootStart = 1600;
constexpr float kRampTopStart = 1688;

// One scenery picture drifting left and jumping to a random place once it has
// left the window on the left.
void drift(PictureBox& image, Random& rnd, float range) {
  if (image.Left <= 0) {
    image.Left = range * rnd.next();
  }
}

}  // namespace

void Form1::Timer2_Timer() {
  if (game.courseRunning != 1) {
    return;
  }
  for (int step = 0; step < 2; ++step) {
    // The ramp comes 4 pixels nearer; once its foot reaches x = 20 the next ramp
    // is laid far to the right.
    Line6.X1 -= 4;
    Line6.X2 -= 4;
    if (Line6.X1 <= 20) {
      Line6.X1 = kRampFootStart;
      Line6.X2 = kRampTopStart;
    }

    // The ramp picture stands on the ground at the ramp's foot.
    Image2.Width = 140;
    Image2.Height = 114;
    showBackground(Image2, "bg006.gif");
    Image2.Top = kGroundTop;
    Image2.Left = Line6.X1;

    // The sky and the far scenery.
    Image3.Left -= 2;
    Image4.Left -= 3;
    Image5.Left -= 4;
    Image9.Left -= 1;
    drift(Image3, rnd, 2500);
    drift(Image4, rnd, 2500);
    drift(Image5, rnd, 2500);
    drift(Image9, rnd, 20000);

    // The ground tiles.
    for (PictureBox* tile : {&Image6, &Image7, &Image8}) {
      tile->Left -= 20;
    }
    for (PictureBox* tile : {&Image6, &Image7, &Image8}) {
      if (tile->Left <= -800) {
        tile->Left = 800;
      }
    }

    // The ramp's top end reaches the rider: the ramp carries it up. Meeting the
    // ramp in the middle of a trick, with no hop under way, is a crash.
    const float d = Line6.X2 - Image1.Left;
    if (d - 127 <= 10 && d >= -10) {
      game.onRamp = 1;
      if (game.trickBusy == 1 && game.hopState == 0) {
        game.trickBusy = 2;
      }
    }

    // A ramp far ahead: the last one is left behind.
    if (Line6.X1 - Image1.Left - 135 >= 10) {
      game.onRamp = 0;
    }

    // The climb.
    if (game.onRamp == 1) {
      game.rampLaunched = 1;
      if (allAirTricksIdle(game)) {
        showPose("009.jpg");
        Image1.Top -= 4;
        game.flightStep = addInteger(game.flightStep, -4);
      } else if (game.hopState == 0) {
        game.trickBusy = 2;  // a trick asked for on the ramp
      }
    }

    // The descent and the landing.
    if (game.onRamp == 0 && Image1.Top < kGroundTop && game.rampLaunched == 1) {
      if (game.flightStep < 20) {
        Timer5.setInterval(130);
      }
      game.flightStep = addInteger(game.flightStep, 10);
      Image1.Top += 2;
      if (game.flightStep > 0) {
        game.flightStep = roundToInteger(game.flightStep * 1.1);
        // Formed in double precision, stored as a single-precision position.
        Image1.Top = static_cast<float>(static_cast<double>(Image1.Top.get()) + game.hopStep * 1.1 -
                                        game.hopStep);
        if (Image1.Top >= kGroundTop) {
          Image1.Top = kGroundTop;
          showPose("002.jpg");
          game.rampLaunched = 0;
          game.flightStep = game.hopStepLimit;
        }
        Timer5.setInterval(180);
        if (game.noseManualState != 0) {
          game.noseManualState = 0;
        }
      }
    } else if (game.onRamp == 0 && game.rampLaunched == 1 && Image1.Top >= kGroundTop) {
      // The flight ended on the ground some other way (a hop came down, or a crash
      // put the rider back): it counts as landed, so the next flight starts afresh.
      game.rampLaunched = 0;
      game.flightStep = game.hopStepLimit;
    }
  }
}

}  // namespace torvin
