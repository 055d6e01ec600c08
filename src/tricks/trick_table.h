// A trick's animation as data: a table of steps, each showing one pose, walked by
// one routine. The Count is compared with the step values in a fixed order on
// every tick; every step lowers it, and the closing step restores the riding
// pose, clears the request and pays the trick's points.
#pragma once

#include <span>

#include "shell/form1.h"

namespace torvin {

enum class Resize { None, Width, Height };

enum class StepKind {
  Pose,     // show the pose, Count one lower
  First,    // the same, and the sprite is now busy with a trick (trickBusy = 1)
  Closing,  // riding pose back, request and trickBusy cleared, points paid
};

struct TrickStep {
  Integer count;  // the Count on which this step runs
  const char* pose;
  StepKind kind = StepKind::Pose;
  Resize resize = Resize::None;  // a size set on the sprite before the pose
  int size = 0;
};

struct Trick {
  Integer GameState::*state;
  Integer GameState::*count;
  int points;
  std::span<const TrickStep> steps;
  std::span<const Integer> order;  // the order in which the Count is compared
};

// The compare orders of the families: the one-pose tricks test 2 to 5; the longer
// tricks test 2 up to their start value and 1 last, so that the step for 2 and
// the closing step run in the same tick.
inline constexpr Integer kShortOrder[] = {2, 3, 4, 5};
inline constexpr Integer kNineStepOrder[] = {2, 3, 4, 5, 6, 7, 8, 9, 1};
inline constexpr Integer kSeventeenStepOrder[] = {2,  3,  4,  5,  6,  7,  8,  9, 10,
                                                  11, 12, 13, 14, 15, 16, 17, 1};

// One tick of a trick: if the rider is in the air (Top read afresh) and the trick
// is requested or running, run the steps whose values the Count matches.
void playTrick(Form1& form, const Trick& trick);

// One tick of every trick of a family, in table order.
void playTricks(Form1& form, std::span<const Trick> tricks);

}  // namespace torvin
