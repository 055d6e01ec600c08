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
      form_(*this),
      scheduler_(form_, *this, options_.skipIdleTicks) {
  scheduler_.setAutoclose(options_.autoclose);
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

void Simulator::print(const std::string& line) {
  out_ << line << '\n';
  if (!out_) {
    throw OutputError(errno);  // a full disk or a closed pipe: the run cannot go on
  }
}

}  // namespace torvin::sim
