// The signals the game answers: SIGTERM and SIGINT end it as closing its
// window does; a closed pipe (SIGPIPE) is a write that failed, said and ended
// with exit status 3, never a signal that ends the game without a word.
#pragma once

#include <functional>

class QObject;

namespace torvin::desktop {

// From now on a write to a closed pipe fails with EPIPE instead of killing the
// game.
void ignoreBrokenPipes();

// SIGTERM and SIGINT call `end` from the event loop of `owner`'s thread: the
// signal handler only writes a byte, which the event loop reads.
void endOnSignals(QObject* owner, std::function<void()> end);

}  // namespace torvin::desktop
