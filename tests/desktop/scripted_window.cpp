#include "scripted_window.h"

#include <limits>

namespace torvin::desktop::testing {

ScriptedWindow::ScriptedWindow(std::string folder, std::vector<sim::Action> script,
                               std::optional<long long> autoclose)
    : folder_(std::move(folder)),
      script_(std::move(script)),
      form_(*this),
      scheduler_(form_, *this),
      window_(form_, pictures_, [](CommandButton& /*button*/) {}) {
  scheduler_.setAutoclose(autoclose);
}

void ScriptedWindow::run(const std::function<void(long long time)>& look) {
  look_ = look;
  form_.Form_Load();
  showChanges();
  try {
    scheduler_.run();
  } catch (const RunEnded&) {
  }
}

void ScriptedWindow::messageBox(const std::string& text) {
  showChanges();
  scheduler_.messageBox(text);
}

void ScriptedWindow::pause() {
  showChanges();
  scheduler_.pause();
}

void ScriptedWindow::drawLine(float x1, float y1, float x2, float y2) {
  window_.drawLine(x1, y1, x2, y2);
}

void ScriptedWindow::intervalChanged(const Timer& timer) {
  scheduler_.intervalChanged(timer);
}

long long ScriptedWindow::now() {
  return std::numeric_limits<long long>::max();
}

std::optional<long long> ScriptedWindow::nextInput() {
  if (next_ >= script_.size()) {
    throw RunEnded{};
  }
  return script_[next_].time;
}

void ScriptedWindow::performInput() {
  const sim::Action& action = script_[next_++];
  switch (action.kind) {
    case sim::ActionKind::Click:
      scheduler_.click(action.button == sim::Button::Command1 ? 1 : 2);
      break;
    case sim::ActionKind::Key:
      scheduler_.pressKey(action.keyCode);
      break;
    case sim::ActionKind::Close:
      scheduler_.close();
      break;
    case sim::ActionKind::Dump:
      showChanges();
      look_(scheduler_.clock());
      break;
    case sim::ActionKind::End:
      break;
  }
}

void ScriptedWindow::wait(std::optional<long long> /*until*/) {}

void ScriptedWindow::handled(int /*timer*/) {
  showChanges();
}

void ScriptedWindow::showChanges() {
  if (form_.revision() != shownRevision_) {
    shownRevision_ = form_.revision();
    window_.refresh();
  }
}

}  // namespace torvin::desktop::testing
