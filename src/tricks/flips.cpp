// Backflip, frontflip and secret trick 1 on Timer5: seven poses on seven ticks in
// the air, closing on the eighth.
#include "tricks/trick_table.h"

namespace torvin {

namespace {

using enum StepKind;
using enum Resize;

constexpr TrickStep kBackflip[] = {{9, "009.jpg", First}, {8, "010.jpg"}, {7, "011.jpg"},
                                   {6, "012.jpg"},        {5, "013.jpg"}, {4, "014.jpg"},
                                   {3, "015.jpg"},        {2, "002.jpg"}, {1, "002.jpg", Closing}};
constexpr TrickStep kFrontflip[] = {{9, "015.jpg", First}, {8, "014.jpg"}, {7, "013.jpg"},
                                    {6, "016.jpg"},        {5, "017.jpg"}, {4, "010.jpg"},
                                    {3, "009.jpg"},        {2, "002.jpg"}, {1, "002.jpg", Closing}};
constexpr TrickStep kSecret1[] = {{9, "023.jpg", First, Height, 140},
                                  {8, "024.jpg"},
                                  {7, "025.jpg"},
                                  {6, "002.jpg"},
                                  {5, "023.jpg"},
                                  {4, "024.jpg"},
                                  {3, "025.jpg"},
                                  {2, "002.jpg", Pose, Height, 114},
                                  {1, "002.jpg", Closing}};

constexpr Trick kFlips[] = {
    {&GameState::backflipState, &GameState::backflipCount, 10, kBackflip, kNineStepOrder},
    {&GameState::frontflipState, &GameState::frontflipCount, 10, kFrontflip, kNineStepOrder},
    {&GameState::secret1State, &GameState::secret1Count, 15, kSecret1, kNineStepOrder},
};

}  // namespace

void Form1::Timer5_Timer() {
  playTricks(*this, kFlips);
}

}  // namespace torvin
