// A recording: a run written down as a script while it is played, one line
// per action, each a whole line that the reader takes back as the same action.
#pragma once

#include <string>

#include "script/action.h"

namespace torvin::script {

// The action as a script line at `time`, with its line feed: "7080 key 72\n",
// "0 click Command1\n", "9000 close\n", "9100 dump\n". A key is written as its
// code, so that every key the game heard replays as the same key.
std::string recordingLine(long long time, const Action& action);

}  // namespace torvin::script
