// Performing one action of a script on the game's clock, the same way in every
// host: a click, a key or a close reaches the game through the scheduler (and
// only while no message box is open, for keys and clicks), a dump is the
// snapshot of the game at that moment.
#pragma once

#include <optional>
#include <string>

#include "schedule/scheduler.h"
#include "script/action.h"

namespace torvin::script {

// Performs `action` now. Returns the dump line to print (without its line
// feed) for a dump, nothing for every other action.
std::optional<std::string> perform(const Action& action, Scheduler& scheduler, const Form1& form);

}  // namespace torvin::script
