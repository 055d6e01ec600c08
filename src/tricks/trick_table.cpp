#include "tricks/trick_table.h"

namespace torvin {

namespace {

void runStep(Form1& form, const Trick& trick, const TrickStep& step) {
  GameState& game = form.game;
  if (step.resize == Resize::Width) {
    form.Image1.Width = static_cast<float>(step.size);
  } else if (step.resize == Resize::Height) {
    form.Image1.Height = static_cast<float>(step.size);
  }
  form.showPose(step.pose);
  if (step.kind == StepKind::Closing) {
    game.*trick.count = 0;
    game.*trick.state = 0;
    game.trickBusy = 0;
    addPoints(game, trick.points);
    return;
  }
  game.*trick.count = static_cast<Integer>(step.count - 1);
  if (step.kind == StepKind::First) {
    game.trickBusy = 1;
  }
}

}  // namespace

void playTrick(Form1& form, const Trick& trick) {
  if (!(form.Image1.Top < kGroundTop) || form.game.*trick.state != 1) {
    return;
  }
  for (Integer value : trick.order) {
    if (form.game.*trick.count != value) {
      continue;
    }
    for (const TrickStep& step : trick.steps) {
      if (step.count == value) {
        runStep(form, trick, step);
        break;
      }
    }
  }
}

void playTricks(Form1& form, std::span<const Trick> tricks) {
  for (const Trick& trick : tricks) {
    playTrick(form, trick);
  }
}

}  // namespace torvin
