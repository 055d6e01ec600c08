#include "web/web_host.h"

#include <sstream>

#include "script/json_output.h"
#include "script/perform.h"
#include "script/reader.h"
#include "script/recording_line.h"
#include "web/page_bridge.h"

namespace torvin::web {

using script::Action;
using script::ActionKind;

WebHost::WebHost(std::optional<std::vector<Action>> script)
    : form_(*this), scheduler_(form_, *this), view_(form_, pictures_), script_(std::move(script)) {}

void WebHost::load() {
  page::gameStarted(script_.has_value());  // the game's clock starts now
  form_.Form_Load();
  view_.refresh();
}

WebHost::Next WebHost::run() {
  scheduler_.run();  // until end() or a picture error
  return next_;
}

WebHost::Next WebHost::afterwards() {
  page::watchEnded(scheduler_.clock());
  for (;;) {
    while (!page::nextInputTime()) {
      page::wait(std::nullopt);
    }
    // The game is over: keys, clicks and closes do nothing.
    if (const std::optional<Next> next = pageRequest(page::takeInput())) {
      return *next;
    }
  }
}

std::string WebHost::snapshot() const {
  return script::snapshotJson(scheduler_.clock(), form_, scheduler_.openBox());
}

long long WebHost::now() {
  return page::now();
}

std::optional<long long> WebHost::nextInput() {
  if (script_ && script_->empty()) {
    end(Next::Over);  // a run without a line ends at once, as in torvin-sim
  }
  std::optional<long long> next = page::nextInputTime();
  if (script_ && nextLine_ < script_->size()) {
    const long long line = (*script_)[nextLine_].time;
    if (!next || line < *next) {
      next = line;
    }
  }
  return next;
}

void WebHost::performInput() {
  if (script_ && nextLine_ < script_->size()) {
    const std::optional<long long> pageInput = page::nextInputTime();
    if (!pageInput || (*script_)[nextLine_].time < *pageInput) {
      const Action& line = (*script_)[nextLine_++];
      if (line.kind == ActionKind::Dump) {
        page::dumped(snapshot());  // a watched run's dumps go where the page's own go
      } else {
        perform(line);
      }
      if (nextLine_ == script_->size()) {
        end(Next::Over);  // a watched run ends with its last line, as in torvin-sim
      }
      return;
    }
  }
  if (const std::optional<Next> next = performPageInput()) {
    end(*next);
  }
}

std::optional<WebHost::Next> WebHost::performPageInput() {
  const page::Input input = page::takeInput();
  switch (input.kind) {
    case page::InputKind::Key:
    case page::InputKind::Click:
    case page::InputKind::Close:
      if (script_) {
        break;  // a watched run plays on its own
      }
      if (input.kind == page::InputKind::Key) {
        perform({.kind = ActionKind::Key, .keyCode = static_cast<std::uint16_t>(input.value)});
      } else if (input.kind == page::InputKind::Click) {
        perform({.kind = ActionKind::Click,
                 .button = input.value == 2 ? script::Button::Command2 : script::Button::Command1});
      } else {
        perform({.kind = ActionKind::Close});
      }
      break;
    case page::InputKind::StopWatching:
      if (script_) {
        return Next::Over;
      }
      break;
    default:
      return pageRequest(input);
  }
  return std::nullopt;
}

std::optional<WebHost::Next> WebHost::pageRequest(const page::Input& input) {
  switch (input.kind) {
    case page::InputKind::Dump:
      page::dumped(snapshot());
      break;
    case page::InputKind::Repaint:
      view_.repaint();
      break;
    case page::InputKind::Watch:
      if (readWatchScript()) {
        return Next::Watch;
      }
      break;
    case page::InputKind::NewGame:
      return Next::NewGame;
    default:
      break;
  }
  return std::nullopt;
}

bool WebHost::readWatchScript() {
  std::istringstream in(page::inputText());
  try {
    watch_ = script::readScript(in, page::inputName());
  } catch (const script::ScriptError& error) {
    page::scriptRefused(error.what());
    return false;
  }
  return true;
}

void WebHost::perform(const Action& action) {
  page::recorded(script::recordingLine(scheduler_.clock(), action));
  script::perform(action, scheduler_, form_);
}

void WebHost::end(Next next) {
  next_ = next;
  throw RunEnded{};
}

void WebHost::wait(std::optional<long long> until) {
  page::wait(until);
}

void WebHost::sleepUntil(long long until) {
  page::sleepUntil(until);
}

void WebHost::handled(int timer) {
  if (timer != 0) {
    page::ticked(timer, page::now() - scheduler_.clock());
  }
  view_.refresh();
}

void WebHost::messageBox(const std::string& text) {
  view_.refresh();  // the fallen rider lies there while "Fail!" is shown
  page::boxOpened(text);
  scheduler_.messageBox(text);
}

void WebHost::boxClosed(const std::string& /*text*/) {
  page::boxClosed();
}

void WebHost::pause() {
  view_.refresh();  // shown now, not after the pause
  scheduler_.pause();
}

}  // namespace torvin::web
