// The exit statuses of every program that plays the game from the command
// line, as torvin-sim's interface gives them.
#pragma once

namespace torvin::script {

inline constexpr int kEndedNormally = 0;
// A picture of the game is missing or cannot be read (also: no display).
inline constexpr int kGameFailed = 1;
// A bad command line, or a script or file that is bad at the start.
inline constexpr int kBadInput = 2;
// Output that could not be written: a full disk, a closed pipe.
inline constexpr int kOutputFailed = 3;

}  // namespace torvin::script
