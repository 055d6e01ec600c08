#include "schedule/scheduler.h"

#include <algorithm>

namespace torvin {

Scheduler::Scheduler(Form1& form, Host& host, bool skipIdleTicks)
    : form_(form), host_(host), skipIdleTicks_(skipIdleTicks) {}

void Scheduler::run() {
  try {
    loop(nullptr);
  } catch (const RunEnded&) {
  }
}

void Scheduler::loop(const Box* box) {
  while (box == nullptr || !box->closed) {
    if (const int number = dueTimer(); number != 0) {
      fire(number);
      continue;
    }
    const std::optional<long long> input = host_.nextInput();
    if (input && *input <= clock_) {
      beginEvent(kInputTurn);
      if (changes([this] { host_.performInput(); })) {
        changed();
      }
      host_.handled(0);
      continue;
    }
    const std::optional<long long> autoclose = box != nullptr ? box->autocloseAt : std::nullopt;
    if (autoclose && *autoclose <= clock_) {
      beginEvent(kAutocloseTurn);
      closeInnermost();
      changed();
      continue;
    }
    // Nothing more at this instant: on to the next event, once its time has come.
    std::optional<long long> next = nextTick();
    for (const auto& other : {input, autoclose}) {
      if (other && (!next || *other < *next)) {
        next = other;
      }
    }
    if (next && *next <= host_.now()) {
      clock_ = std::max(clock_, *next);
    } else {
      host_.wait(next);
    }
  }
}

bool Scheduler::ticking(int number) const {
  const auto n = static_cast<std::size_t>(number);
  return form_.timer(number).Interval() > 0 && !inHandler_[n] && !idle(number);
}

int Scheduler::dueTimer() const {
  for (int number = 1; number <= kTimers; ++number) {
    if (ticking(number) && due_[static_cast<std::size_t>(number)] <= clock_) {
      return number;
    }
  }
  return 0;
}

std::optional<long long> Scheduler::nextTick() const {
  std::optional<long long> next;
  for (int number = 1; number <= kTimers; ++number) {
    const long long due = due_[static_cast<std::size_t>(number)];
    if (ticking(number) && (!next || due < *next)) {
      next = due;
    }
  }
  return next;
}

bool Scheduler::idle(int number) const {
  const auto& at = idleAt_[static_cast<std::size_t>(number)];
  return at && *at == generation_;
}

void Scheduler::beginEvent(int turn) {
  for (int number = 1; number <= kTimers; ++number) {
    if (!idle(number)) {
      continue;
    }
    // Pass over the idle ticks that would have come before this event: those
    // earlier than now, and one now if its timer comes before this event.
    const auto n = static_cast<std::size_t>(number);
    const long long interval = form_.timer(number).Interval();
    if (due_[n] <= clock_) {
      long long missed = (clock_ - due_[n]) / interval;
      if (due_[n] + missed * interval < clock_ || number < turn) {
        ++missed;
      }
      due_[n] += missed * interval;
      ticksSkipped_ += missed;
    }
  }
}

template <class Event>
bool Scheduler::changes(Event&& event) {
  if (!skipIdleTicks_) {
    event();
    return true;
  }
  // Every visible change counts in the revision; the game state, the random
  // numbers and the host's effects are compared.
  const std::uint64_t revision = form_.revision();
  const std::uint64_t effects = effects_;
  const Random random = form_.rnd;
  before_ = form_.game;
  event();
  // An event that opened a message box has run others inside it, which used
  // before_ too; but a box is an effect, so before_ is not looked at then.
  return form_.revision() != revision || effects_ != effects || !(form_.rnd == random) ||
         !(form_.game == before_);
}

void Scheduler::fire(int number) {
  const auto n = static_cast<std::size_t>(number);
  beginEvent(number);
  // A late tick is not repeated for the ticks missed: the next one is a whole
  // Interval after this one.
  due_[n] = clock_ + form_.timer(number).Interval();
  inHandler_[n] = true;
  const bool changedGame = changes([this, number] { form_.tick(number); });
  inHandler_[n] = false;
  ++ticksRun_;
  if (changedGame) {
    changed();
  } else {
    idleAt_[n] = generation_;
  }
  host_.handled(number);
}

void Scheduler::pressKey(std::uint16_t keyCode) {
  if (boxes_.empty()) {
    form_.Form_KeyDown(keyCode, 0);
  }
}

void Scheduler::click(int button) {
  if (boxes_.empty()) {
    form_.click(button == 1 ? form_.Command1 : form_.Command2);
  }
}

void Scheduler::close() {
  if (!boxes_.empty()) {
    closeInnermost();
  }
}

const std::string* Scheduler::openBox() const {
  return boxes_.empty() ? nullptr : &boxes_.back()->text;
}

void Scheduler::closeInnermost() {
  Box& box = *boxes_.back();
  box.closed = true;
  host_.boxClosed(box.text);
}

void Scheduler::intervalChanged(const Timer& timer) {
  ++effects_;
  changed();
  if (timer.Interval() > 0) {
    due_[static_cast<std::size_t>(timer.number())] = clock_ + timer.Interval();
  }
}

void Scheduler::messageBox(const std::string& text) {
  ++effects_;
  changed();
  Box box{text, std::nullopt, false};
  if (autoclose_) {
    box.autocloseAt = clock_ + *autoclose_;
  }
  boxes_.push_back(&box);
  struct Pop {
    std::vector<Box*>& boxes;
    ~Pop() { boxes.pop_back(); }
  } pop{boxes_};
  loop(&box);
}

void Scheduler::pause() {
  ++effects_;
  changed();
  clock_ += kPauseMs;
  host_.sleepUntil(clock_);
}

}  // namespace torvin
