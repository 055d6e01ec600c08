#include "sim/simulator.h"

#include <algorithm>
#include <cerrno>
#include <limits>

#include "script/json_output.h"
#include "script/perform.h"
#include "sim/output_error.h"

namespace torvin::sim {

Simulator::Simulator(Options options, std::vector<script::Action> script, std::ostream& out)
    : options_(std::move(options)),
      script_(std::move(script)),
      out_(out),
      pictures_(options_.frames ? picture::Pixels::Keep : picture::Pixels::Drop),
      form_(*this),
      scheduler_(form_, *this, options_.skipIdleTicks) {
  scheduler_.setAutoclose(options_.autoclose);
  if (options_.frames) {
    scene_.emplace(pictures_);
  }
}

void Simulator::run() {
  form_.Form_Load();
  scheduler_.run();
  out_.flush();
}

long long Simulator::now() {
  return std::numeric_limits<long long>::max();
}

std::optional<long long> Simulator::nextInput() {
  if (next_ >= script_.size()) {
    throw RunEnded{};  // an empty script: the window loads, and that is all
  }
  return script_[next_].time;
}

void Simulator::wait(std::optional<long long> /*until*/) {
  // Never called: there is always a next script line, and the virtual clock
  // reaches any time at once.
}

void Simulator::performInput() {
  if (const std::optional<std::string> dump =
          script::perform(script_[next_++], scheduler_, form_)) {
    print(*dump);
    if (scene_) {
      composeScene();
      options_.frames(scheduler_.clock(), scene_->frame());
    }
  }
}

void Simulator::handled(int timer) {
  if (options_.afterEvent) {
    options_.afterEvent(timer);
  }
  if (timer == 0 && next_ >= script_.size()) {
    throw RunEnded{};  // nothing after the last line, not even the rest of a handler
  }
}

void Simulator::boxClosed(const std::string& text) {
  if (options_.trace) {
    print(script::EventJson(scheduler_.clock(), "closed").field("text", text).str());
  }
}

void Simulator::messageBox(const std::string& text) {
  if (options_.trace) {
    print(script::EventJson(scheduler_.clock(), "message").field("text", text).str());
  }
  scheduler_.messageBox(text);
}

void Simulator::pause() {
  if (options_.trace) {
    print(script::EventJson(scheduler_.clock(), "pause").field("ms", kPauseMs).str());
  }
  ++pauses_;
  scheduler_.pause();
}

void Simulator::intervalChanged(const Timer& timer) {
  scheduler_.intervalChanged(timer);
  if (options_.trace) {
    print(script::EventJson(scheduler_.clock(), "interval")
              .field("timer", timer.name())
              .field("value", static_cast<long long>(timer.Interval()))
              .str());
  }
}

void Simulator::pictureAssigned(const PictureBox& image) {
  if (options_.trace && &image == &form_.Image1) {
    print(script::EventJson(scheduler_.clock(), "picture")
              .field("file", image.picture()->name)
              .str());
  }
}

void Simulator::itemAdded(const ListBox& /*list*/, const std::string& item) {
  if (options_.trace) {
    print(script::EventJson(scheduler_.clock(), "score").field("item", item).str());
  }
}

DecodedPicture Simulator::loadPicture(const std::string& path) {
  return pictures_.load(path);
}

void Simulator::drawLine(float x1, float y1, float x2, float y2) {
  if (scene_) {
    scene_->drawLine(x1, y1, x2, y2);
  }
}

const std::vector<scene::Rect>& Simulator::composeScene() {
  static const std::vector<scene::Rect> kNothing;
  return scene_ ? scene_->update(form_) : kNothing;
}

void Simulator::print(const std::string& line) {
  out_ << line << '\n';
  if (!out_) {
    throw OutputError(errno);  // a full disk or a closed pipe: the run cannot go on
  }
}

}  // namespace torvin::sim
