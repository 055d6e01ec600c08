#include "sim/simulator.h"

#include <algorithm>
#include <cerrno>
#include <limits>

#include "sim/json_output.h"
#include "sim/output_error.h"

namespace torvin::sim {

namespace {

// Thrown when the script's last line has been handled: the run ends at once,
// even from inside a handler waiting on a message box.
struct ScriptEnded {};

}  // namespace

Simulator::Simulator(Options options, std::vector<Action> script, std::ostream& out)
    : options_(std::move(options)), script_(std::move(script)), out_(out), form_(*this) {}

void Simulator::run() {
  try {
    form_.Form_Load();
    loop(nullptr);
  } catch (const ScriptEnded&) {
  }
  out_.flush();
}

void Simulator::loop(const Box* box) {
  while (box == nullptr || !box->closed) {
    if (next_ >= script_.size()) {
      throw ScriptEnded{};
    }
    // At one instant: the timers that are due, in number order; then the
    // script's lines; then an automatic close of the innermost box.
    if (const int number = dueTimer(); number != 0) {
      fire(number);
      continue;
    }
    if (script_[next_].time <= clock_) {
      perform(script_[next_++]);
      if (next_ >= script_.size()) {
        throw ScriptEnded{};  // nothing after the last line, not even the rest of a handler
      }
      continue;
    }
    if (box != nullptr && box->autocloseAt && *box->autocloseAt <= clock_) {
      closeInnermost();
      continue;
    }
    clock_ = nextEventTime();
  }
}

int Simulator::dueTimer() const {
  for (int number = 1; number <= 8; ++number) {
    const auto n = static_cast<std::size_t>(number);
    if (form_.timer(number).Interval() > 0 && !inHandler_[n] && due_[n] <= clock_) {
      return number;
    }
  }
  return 0;
}

long long Simulator::nextEventTime() const {
  long long next = script_[next_].time;
  for (int number = 1; number <= 8; ++number) {
    const auto n = static_cast<std::size_t>(number);
    if (form_.timer(number).Interval() > 0 && !inHandler_[n]) {
      next = std::min(next, due_[n]);
    }
  }
  if (!boxes_.empty() && boxes_.back()->autocloseAt) {
    next = std::min(next, *boxes_.back()->autocloseAt);
  }
  return std::max(next, clock_);
}

void Simulator::fire(int number) {
  const auto n = static_cast<std::size_t>(number);
  // A late tick is not repeated for the ticks missed: the next one is a whole
  // interval after this one.
  due_[n] = clock_ + form_.timer(number).Interval();
  inHandler_[n] = true;
  form_.tick(number);
  inHandler_[n] = false;
  if (options_.afterEvent) {
    options_.afterEvent(number);
  }
}

void Simulator::perform(const Action& action) {
  const bool boxOpen = !boxes_.empty();
  switch (action.kind) {
    case ActionKind::Click:
      if (!boxOpen) {  // an open message box takes the click
        form_.click(action.button == "Command1" ? form_.Command1 : form_.Command2);
      }
      break;
    case ActionKind::Key:
      if (!boxOpen) {
        form_.Form_KeyDown(action.keyCode, 0);
      }
      break;
    case ActionKind::Close:
      if (boxOpen) {
        closeInnermost();
      }
      break;
    case ActionKind::Dump:
      emit(snapshotJson(clock_, form_, boxOpen ? &boxes_.back()->text : nullptr));
      break;
    case ActionKind::End:
      break;
  }
  if (options_.afterEvent) {
    options_.afterEvent(0);
  }
}

void Simulator::closeInnermost() {
  Box& box = *boxes_.back();
  box.closed = true;
  if (options_.trace) {
    emit(EventJson(clock_, "closed").field("text", box.text).str());
  }
}

void Simulator::messageBox(const std::string& text) {
  Box box{text, std::nullopt, false};
  if (options_.autoclose) {
    box.autocloseAt = clock_ + *options_.autoclose;
  }
  if (options_.trace) {
    emit(EventJson(clock_, "message").field("text", text).str());
  }
  boxes_.push_back(&box);
  struct Pop {
    std::vector<Box*>& boxes;
    ~Pop() { boxes.pop_back(); }
  } pop{boxes_};
  loop(&box);
}

void Simulator::pause() {
  if (options_.trace) {
    emit(EventJson(clock_, "pause").field("ms", kPauseMs).str());
  }
  clock_ += kPauseMs;
  ++pauses_;
}

void Simulator::intervalChanged(const Timer& timer) {
  const auto n = static_cast<std::size_t>(timer.number());
  if (timer.Interval() > 0) {
    due_[n] = clock_ + timer.Interval();
  }
  if (options_.trace) {
    emit(EventJson(clock_, "interval")
             .field("timer", timer.name())
             .field("value", static_cast<long long>(timer.Interval()))
             .str());
  }
}

void Simulator::pictureAssigned(const PictureBox& image) {
  if (options_.trace && &image == &form_.Image1) {
    emit(EventJson(clock_, "picture").field("file", image.picture()->name).str());
  }
}

void Simulator::itemAdded(const ListBox& /*list*/, const std::string& item) {
  if (options_.trace) {
    emit(EventJson(clock_, "score").field("item", item).str());
  }
}

DecodedPicture Simulator::loadPicture(const std::string& path) {
  auto found = pictures_.find(path);
  if (found == pictures_.end()) {
    // The same decoding as the desktop's, so the same files are refused; only
    // the pixels are not kept.
    const picture::Image image = decoder_.decode(path, picture::Pixels::Drop);
    const DecodedPicture picture{image.width, image.height, static_cast<int>(pictures_.size())};
    found = pictures_.emplace(path, picture).first;
  }
  return found->second;
}

void Simulator::emit(const std::string& line) {
  out_ << line << '\n';
  if (!out_) {
    throw OutputError(errno);  // a full disk or a closed pipe: the run cannot go on
  }
}

}  // namespace torvin::sim
