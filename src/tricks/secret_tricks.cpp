// Secret tricks 2 and 3 on Timer8: seven poses on seven ticks in the air, closing
// on the eighth.
#include "tricks/trick_table.h"

namespace torvin {

namespace {

using enum StepKind;
using enum Resize;

constexpr TrickStep kSecret2[] = {{9, "002.jpg", First, Height, 140},
                                  {8, "023.jpg"},
                                  {7, "024.jpg"},
                                  {6, "025.jpg"},
                                  {5, "002.jpg"},
                                  {4, "005.jpg"},
                                  {3, "006.jpg"},
                                  {2, "005.jpg", Pose, Height, 114},
                                  {1, "002.jpg", Closing}};
constexpr TrickStep kSecret3[] = {
    {9, "020.jpg", First},  {8, "021.jpg"}, {7, "022.jpg"}, {6, "007.jpg"},
    {5, "020.jpg"},         {4, "021.jpg"}, {3, "022.jpg"}, {2, "007.jpg", Pose, Width, 114},
    {1, "002.jpg", Closing}};

constexpr Trick kSecretTricks[] = {
    {&GameState::secret2State, &GameState::secret2Count, 20, kSecret2, kNineStepOrder},
    {&GameState::secret3State, &GameState::secret3Count, 25, kSecret3, kNineStepOrder},
};

}  // namespace

void Form1::Timer8_Timer() {
  playTricks(*this, kSecretTricks);
}

}  // namespace torvin
