// The game's one clock, shared by every host: which handler runs when.
//
// Timers tick every Interval ms from the moment their Interval was given a new
// value; at one instant the timers that are due run first, in number order, then
// the player's input, then an automatic close of a message box. A message box is
// a nested event loop in which the other timers keep ticking while the timer
// whose handler opened it is held; keys and clicks reach the box, not the game.
// The pause after a fall or crash moves the clock on and handles nothing
// meanwhile. A tick that comes late (held by the pause or by its own box) ticks
// once, and the next one is a whole Interval after it.
//
// A host supplies only the time, the player's input and a way to wait for
// either: the simulator jumps a virtual clock from one script line to the next,
// the desktop reads a monotonic clock and hands over keys, clicks and box closes
// stamped with the millisecond at which they arrived. Both therefore run the
// same game, and a run on the desktop is a script the simulator replays exactly.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "shell/form1.h"

namespace torvin {

// Thrown by a host to end the run at once, even from inside a handler that waits
// on a message box: the rest of that handler does not run.
struct RunEnded {};

class Scheduler {
 public:
  // What the scheduler asks of its host.
  class Host {
   public:
    virtual ~Host() = default;
    // The latest time the game clock may reach now, in ms since the window was
    // created (for a virtual clock: no limit).
    virtual long long now() = 0;
    // The time of the next input the host holds for the game, if it holds one.
    virtual std::optional<long long> nextInput() = 0;
    // Performs that input now (through pressKey, click, close, or on its own,
    // such as a snapshot).
    virtual void performInput() = 0;
    // Nothing is due before `until` (nothing at all without a value): returns
    // once that time has come or an input has arrived.
    virtual void wait(std::optional<long long> until) = 0;
    // The pause: returns once now() has reached `until`, handling nothing.
    virtual void sleepUntil(long long /*until*/) {}
    // A message box has just been closed, by the player or automatically.
    virtual void boxClosed(const std::string& /*text*/) {}
    // An event has been handled: a tick of Timer`timer`, or an input (0).
    virtual void handled(int /*timer*/) {}
  };

  // With `skipIdleTicks`, a tick that would change nothing is not run (see
  // idle_); the game plays exactly as if every tick ran.
  Scheduler(Form1& form, Host& host, bool skipIdleTicks = true);

  // The game clock: ms since the window was created (its load runs at 0).
  long long clock() const { return clock_; }

  // The window's event loop, after its load, until the host ends the run.
  void run();

  // The player's actions, as the game receives them: a key or a click reaches
  // the game only while no message box is open; a close acts on the innermost
  // box, and does nothing when none is open.
  void pressKey(std::uint16_t keyCode);
  void click(int button);  // 1: Command1, 2: Command2
  void close();

  // The message box that is open innermost, if any.
  const std::string* openBox() const;
  // Every message box opened from now on is closed `ms` after it opens, unless
  // the player closes it first.
  void setAutoclose(std::optional<long long> ms) { autoclose_ = ms; }

  // For the host's Platform: a timer's Interval changed; a message box (returns
  // when it has been closed); the pause after a fall or crash.
  void intervalChanged(const Timer& timer);
  void messageBox(const std::string& text);
  void pause();

  // How many timer ticks were run and how many were skipped as idle.
  long long ticksRun() const { return ticksRun_; }
  long long ticksSkipped() const { return ticksSkipped_; }

 private:
  static constexpr int kTimers = 8;
  // The order of events at one instant: timers by number, then input, then an
  // automatic close.
  static constexpr int kInputTurn = kTimers + 1;
  static constexpr int kAutocloseTurn = kTimers + 2;

  struct Box {
    std::string text;
    std::optional<long long> autocloseAt;
    bool closed = false;
  };

  // Runs events until `box` has been closed, or for ever for the window's own loop.
  void loop(const Box* box);
  // The lowest-numbered timer that is due now, or 0.
  int dueTimer() const;
  // When the next timer falls due, if one can.
  std::optional<long long> nextTick() const;
  bool ticking(int number) const;
  void fire(int number);
  void closeInnermost();
  // Every event starts here: the ticks an idle timer would have had before it
  // are passed over, since they would have changed nothing.
  void beginEvent(int turn);
  // Runs one event (a tick, an input) and notes whether it changed the game.
  template <class Event>
  bool changes(Event&& event);
  // The game has changed: no timer is idle any more.
  void changed() { ++generation_; }

  // A timer is idle when its last tick changed nothing and nothing has changed
  // the game since: its next tick would find the game exactly as the last one
  // did, and change nothing either (a handler sees only the game, never the
  // clock).
  bool idle(int number) const;

  Form1& form_;
  Host& host_;
  const bool skipIdleTicks_;
  long long clock_ = 0;
  std::optional<long long> autoclose_;
  std::array<long long, kTimers + 1> due_{};   // by timer number; 0 unused
  std::array<bool, kTimers + 1> inHandler_{};  // a tick has not returned yet
  std::vector<Box*> boxes_;                    // open message boxes, innermost last
  std::uint64_t generation_ = 0;               // changes to the game so far
  std::uint64_t effects_ = 0;                  // interval changes, boxes and pauses
  std::array<std::optional<std::uint64_t>, kTimers + 1> idleAt_{};  // generation_ then
  GameState before_;  // the game as an event found it, to compare after it
  long long ticksRun_ = 0;
  long long ticksSkipped_ = 0;
};

}  // namespace torvin
