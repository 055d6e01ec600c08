// The nine one-pose tricks on Timer3: three poses on three ticks in the air, the
// riding pose on the fourth, 5 points each.
#include "tricks/trick_table.h"

namespace torvin {

namespace {

using enum StepKind;
using enum Resize;

constexpr TrickStep kCanCan[] = {
    {2, "002.jpg", Closing}, {3, "003.jpg"}, {4, "004.jpg"}, {5, "003.jpg", First}};
constexpr TrickStep kNoHander[] = {{2, "002.jpg", Closing, Height, 114},
                                   {3, "005.jpg"},
                                   {4, "006.jpg"},
                                   {5, "005.jpg", First, Height, 140}};
constexpr TrickStep kSuperman[] = {{2, "002.jpg", Closing, Width, 114},
                                   {3, "007.jpg"},
                                   {4, "008.jpg"},
                                   {5, "007.jpg", First, Width, 140}};
constexpr TrickStep kNothing[] = {
    {2, "002.jpg", Closing}, {3, "018.jpg"}, {4, "019.jpg"}, {5, "018.jpg", First}};
constexpr TrickStep kTailwhip[] = {{2, "002.jpg", Closing, Width, 114},
                                   {3, "022.jpg"},
                                   {4, "021.jpg"},
                                   {5, "020.jpg", First, Width, 165}};
constexpr TrickStep kBarspin[] = {
    {2, "002.jpg", Closing}, {3, "025.jpg"}, {4, "024.jpg"}, {5, "023.jpg", First}};
constexpr TrickStep kCandyBar[] = {{2, "002.jpg", Closing, Height, 114},
                                   {3, "003.jpg"},
                                   {4, "029.jpg"},
                                   {5, "003.jpg", First, Height, 140}};
constexpr TrickStep kThreeSixty[] = {{2, "002.jpg", Closing, Height, 114},
                                     {3, "028.jpg"},
                                     {4, "026.jpg"},
                                     {5, "027.jpg", First, Height, 140}};
constexpr TrickStep kTabletop[] = {{2, "002.jpg", Closing, Height, 114},
                                   {3, "031.jpg"},
                                   {4, "031.jpg"},
                                   {5, "030.jpg", First, Height, 140}};

constexpr int kPoints = 5;

// In the order every tick serves them.
constexpr Trick kBasicTricks[] = {
    {&GameState::canCanState, &GameState::canCanCount, kPoints, kCanCan, kShortOrder},
    {&GameState::noHanderState, &GameState::noHanderCount, kPoints, kNoHander, kShortOrder},
    {&GameState::supermanState, &GameState::supermanCount, kPoints, kSuperman, kShortOrder},
    {&GameState::nothingState, &GameState::nothingCount, kPoints, kNothing, kShortOrder},
    {&GameState::tailwhipState, &GameState::tailwhipCount, kPoints, kTailwhip, kShortOrder},
    {&GameState::barspinState, &GameState::barspinCount, kPoints, kBarspin, kShortOrder},
    {&GameState::candyBarState, &GameState::candyBarCount, kPoints, kCandyBar, kShortOrder},
    {&GameState::threeSixtyState, &GameState::threeSixtyCount, kPoints, kThreeSixty, kShortOrder},
    {&GameState::tabletopState, &GameState::tabletopCount, kPoints, kTabletop, kShortOrder},
};

}  // namespace

void Form1::Timer3_Timer() {
  playTricks(*this, kBasicTricks);
}

}  // namespace torvin
