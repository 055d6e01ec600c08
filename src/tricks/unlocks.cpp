// Timer7: unlocks the secret tricks as the total grows, then animates secret
// trick 4 (a backflip's poses, then a frontflip's backwards; 30 points).
#include <array>

#include "tricks/trick_table.h"

namespace torvin {

namespace {

using enum StepKind;
using enum Resize;

constexpr TrickStep kSecret4[] = {
    {17, "009.jpg", First}, {16, "010.jpg"}, {15, "011.jpg"}, {14, "012.jpg"},
    {13, "013.jpg"},        {12, "014.jpg"}, {11, "015.jpg"}, {10, "002.jpg"},
    {9, "009.jpg"},         {8, "010.jpg"},  {7, "017.jpg"},  {6, "016.jpg"},
    {5, "013.jpg"},         {4, "014.jpg"},  {3, "015.jpg"},  {2, "009.jpg", Pose, Height, 114},
    {1, "002.jpg", Closing}};

constexpr Trick kSecret4Trick = {&GameState::secret4State, &GameState::secret4Count, 30, kSecret4,
                                 kSeventeenStepOrder};

struct Unlock {
  int threshold;
  Label Form1::*label;
  const char* caption;
  Integer GameState::*flag;
};

constexpr std::array<Unlock, 4> kUnlocks = {{
    {150, &Form1::Label2, "Secret trick 1 - Z", &GameState::secret1Unlocked},
    {350, &Form1::Label3, "Secret trick 2 - X", &GameState::secret2Unlocked},
    {600, &Form1::Label4, "Secret trick 3 - C", &GameState::secret3Unlocked},
    {1000, &Form1::Label5, "Secret trick 4 - V", &GameState::secret4Unlocked},
}};

}  // namespace

void Form1::Timer7_Timer() {
  for (const Unlock& unlock : kUnlocks) {
    if (game.totalScore >= unlock.threshold) {
      Label& label = this->*unlock.label;
      label.Visible = true;
      label.Caption = unlock.caption;
      label.BackColor = kLightGreen;
      game.*unlock.flag = 1;
    }
  }
  playTrick(*this, kSecret4Trick);
}

}  // namespace torvin
