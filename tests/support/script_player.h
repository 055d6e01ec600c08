// A host for tests that look at the game between its events: it plays a
// torvin-sim script on a virtual clock (the script's lines at their times, as
// fast as the machine goes), with message boxes and the pause as the simulator
// has them. What it does with pictures and lines, and what it looks at, is the
// test's own.
#pragma once

#include <limits>
#include <optional>
#include <vector>

#include "platform/platform.h"
#include "schedule/scheduler.h"
#include "script/perform.h"
#include "script/reader.h"
#include "shell/form1.h"

namespace torvin::testing {

class ScriptPlayer : public Platform, protected Scheduler::Host {
 public:
  // Every message box is closed `autoclose` ms after it opens (with no value,
  // only by the script's close lines).
  explicit ScriptPlayer(std::vector<script::Action> script,
                        std::optional<long long> autoclose = std::nullopt)
      : script_(std::move(script)), form_(*this), scheduler_(form_, *this) {
    scheduler_.setAutoclose(autoclose);
  }

  // Loads the window and plays the script to its last line.
  void run() {
    form_.Form_Load();
    eventHandled(0);
    try {
      scheduler_.run();
    } catch (const RunEnded&) {
    }
  }

  Form1& form() { return form_; }
  long long clock() const { return scheduler_.clock(); }

  // Platform
  void messageBox(const std::string& text) override {
    eventHandled(0);
    scheduler_.messageBox(text);
  }
  void pause() override {
    eventHandled(0);
    scheduler_.pause();
  }
  void intervalChanged(const Timer& timer) override { scheduler_.intervalChanged(timer); }

 protected:
  // After every event (a tick of Timer`timer`, or 0 for anything else), before
  // a message box opens and before the pause.
  virtual void eventHandled(int /*timer*/) {}
  // At every dump line of the script, with the game's clock.
  virtual void dumped(long long /*time*/) {}

 private:
  // Scheduler::Host: the virtual clock reaches any time at once.
  long long now() override { return std::numeric_limits<long long>::max(); }
  std::optional<long long> nextInput() override {
    if (next_ >= script_.size()) {
      throw RunEnded{};
    }
    return script_[next_].time;
  }
  void performInput() override {
    const script::Action& action = script_[next_++];
    if (action.kind == script::ActionKind::Dump) {
      eventHandled(0);
      dumped(scheduler_.clock());
    } else {
      script::perform(action, scheduler_, form_);
    }
  }
  void wait(std::optional<long long> /*until*/) override {}
  void handled(int timer) override { eventHandled(timer); }

  std::vector<script::Action> script_;
  std::size_t next_ = 0;

 protected:
  Form1 form_;
  Scheduler scheduler_;
};

}  // namespace torvin::testing
