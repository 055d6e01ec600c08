#include "desktop/desktop_host.h"

#include <QApplication>
#include <QEventLoop>
#include <QKeyEvent>
#include <QMessageBox>
#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <exception>
#include <thread>

#include "desktop/key_codes.h"
#include "desktop/message_box.h"
#include "desktop/recording.h"
#include "sim/json_output.h"

namespace torvin::desktop {

DesktopHost::DesktopHost(std::string folder)
    : folder_(std::move(folder)),
      form_(*this),
      scheduler_(form_, *this),
      window_(std::make_unique<GameWindow>(form_, pictures_,
                                           [this](CommandButton& button) { click(button); })) {
  since_.start();
  wake_.setSingleShot(true);
  wake_.setTimerType(Qt::PreciseTimer);
  connect(&wake_, &QTimer::timeout, this, [this] {
    if (waiting_ != nullptr) {
      waiting_->quit();
    }
  });
  window_->setCloseHandler([this] { end(); });
  qApp->installEventFilter(this);
  shownRevision_ = form_.revision();
}

DesktopHost::~DesktopHost() {
  qApp->removeEventFilter(this);
}

void DesktopHost::load() {
  form_.Form_Load();
  showChanges();
}

void DesktopHost::run() {
  try {
    scheduler_.run();
  } catch (const PictureError& error) {
    // Every picture was checked at load, so this is a file that went away since.
    reportError(window_.get(), error.what());
    std::exit(EXIT_FAILURE);
  }
}

void DesktopHost::end() {
  arrive(Input::Kind::End);
}

void DesktopHost::replay(std::vector<sim::Action> script) {
  script_ = std::move(script);
  nextLine_ = 0;
}

std::string DesktopHost::snapshot() const {
  return sim::snapshotJson(scheduler_.clock(), form_, scheduler_.openBox());
}

long long DesktopHost::now() {
  return since_.elapsed();
}

void DesktopHost::arrive(Input::Kind kind, std::uint16_t code) {
  // Stamps never go back, so the queue stays in time order.
  lastStamp_ = std::max(now(), lastStamp_);
  inputs_.push_back({lastStamp_, kind, code});
  if (waiting_ != nullptr) {
    waiting_->quit();
  }
}

std::optional<long long> DesktopHost::nextInput() {
  std::optional<long long> next;
  if (!inputs_.empty()) {
    next = inputs_.front().time;
  }
  if (script_ && nextLine_ < script_->size()) {
    const long long line = (*script_)[nextLine_].time;
    if (!next || line < *next) {
      next = line;
    }
  }
  return next;
}

void DesktopHost::performInput() {
  if (script_ && nextLine_ < script_->size() &&
      (inputs_.empty() || (*script_)[nextLine_].time < inputs_.front().time)) {
    performScriptLine((*script_)[nextLine_++]);
    if (nextLine_ == script_->size()) {
      finish();  // a replay ends with its last line, as in torvin-sim
    }
    return;
  }
  const Input input = inputs_.front();
  inputs_.pop_front();
  switch (input.kind) {
    case Input::Kind::Key:
      performScriptLine({0, sim::ActionKind::Key, {}, input.code, 0});
      break;
    case Input::Kind::Click:
      performScriptLine({0, sim::ActionKind::Click,
                         input.code == 1 ? sim::Button::Command1 : sim::Button::Command2, 0, 0});
      break;
    case Input::Kind::Close:
      performScriptLine({0, sim::ActionKind::Close, {}, 0, 0});
      break;
    case Input::Kind::End:
      finish();
      break;
  }
}

void DesktopHost::performScriptLine(const sim::Action& action) {
  const long long t = scheduler_.clock();
  switch (action.kind) {
    case sim::ActionKind::Key:
      ++keys_;
      if (recording_ != nullptr) {
        recording_->line(t, "key " + std::to_string(action.keyCode));
      }
      scheduler_.pressKey(action.keyCode);
      break;
    case sim::ActionKind::Click:
      if (recording_ != nullptr) {
        recording_->line(t, "click " + std::string(sim::buttonName(action.button)));
      }
      scheduler_.click(action.button == sim::Button::Command1 ? 1 : 2);
      break;
    case sim::ActionKind::Close:
      if (recording_ != nullptr) {
        recording_->line(t, "close");
      }
      scheduler_.close();
      break;
    case sim::ActionKind::Dump:
      std::fprintf(dumps_, "%s\n", snapshot().c_str());
      std::fflush(dumps_);
      break;
    case sim::ActionKind::End:
      break;
  }
}

void DesktopHost::finish() {
  if (recording_ != nullptr) {
    recording_->line(scheduler_.clock(), "dump");
  }
  if (dumpAtExit_ != nullptr) {
    std::fprintf(dumpAtExit_, "%s\n", snapshot().c_str());
    std::fflush(dumpAtExit_);
  }
  throw RunEnded{};
}

void DesktopHost::wait(std::optional<long long> until) {
  QEventLoop loop;
  waiting_ = &loop;
  if (until) {
    wake_.start(static_cast<int>(std::clamp<long long>(*until - now(), 0, INT_MAX)));
  }
  loop.exec();
  waiting_ = nullptr;
  wake_.stop();
}

void DesktopHost::sleepUntil(long long until) {
  // Nothing is handled meanwhile: what arrives waits until after it.
  for (long long left = until - now(); left > 0; left = until - now()) {
    std::this_thread::sleep_for(std::chrono::milliseconds(left));
  }
}

void DesktopHost::handled(int timer) {
  if (timer > 0) {
    ++ticks_.at(static_cast<std::size_t>(timer));
  }
  showChanges();
}

void DesktopHost::click(CommandButton& button) {
  if (!script_) {  // a replay plays on its own
    arrive(Input::Kind::Click, &button == &form_.Command1 ? 1 : 2);
  }
}

void DesktopHost::showChanges() {
  if (form_.revision() != shownRevision_) {
    shownRevision_ = form_.revision();
    window_->refresh();
  }
}

bool DesktopHost::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType()) {
    return false;
  }
  auto* widget = static_cast<QWidget*>(watched);
  QWidget* top = widget->window();
  if (top != window_.get() && std::find(boxes_.begin(), boxes_.end(), top) == boxes_.end()) {
    return false;
  }
  // A key that nobody takes travels on to the parents of the focus widget; the
  // game hears it once, when it reaches the widget it was meant for.
  QWidget* focus = QApplication::focusWidget();
  if (widget != (focus != nullptr ? focus : top)) {
    return false;
  }
  const auto* key = static_cast<QKeyEvent*>(event);
  if (script_) {
    // A replay plays on its own: the player's keys do nothing but end it.
    if (key->key() == Qt::Key_Escape) {
      end();
    }
    return true;
  }
  arrive(Input::Kind::Key, virtualKeyCode(*key));
  return false;  // the focus widget still gets the key: buttons work with Space
}

DecodedPicture DesktopHost::loadPicture(const std::string& path) {
  const std::size_t before = pictures_.decoded();
  DecodedPicture picture = pictures_.load(path);
  const int decoded = static_cast<int>(pictures_.decoded() - before);
  // Counted here, outside the store, so that a store that decoded a file twice
  // would show it.
  decodesByFile_[path] += decoded;
  return picture;
}

DesktopHost::Decodes DesktopHost::decodes() const {
  Decodes decodes;
  decodes.files = decodesByFile_.size();
  for (const auto& [path, count] : decodesByFile_) {
    decodes.mostOfOneFile = std::max(decodes.mostOfOneFile, count);
    decodes.total += count;
  }
  return decodes;
}

void DesktopHost::messageBox(const std::string& text) {
  showChanges();  // the fallen rider lies there while "Fail!" is shown
  const std::unique_ptr<QMessageBox> box =
      makeMessageBox(window_.get(), QString::fromStdString(text));
  QMessageBox* shown = box.get();
  // Not modal: the game's own loop decides what a key or a click does while a
  // box is open, and the window can still be closed.
  shown->setWindowModality(Qt::NonModal);
  connect(shown, &QDialog::finished, this, [this, shown] {
    if (script_) {
      shown->show();  // in a replay the script closes the boxes
    } else {
      arrive(Input::Kind::Close);
    }
  });
  boxes_.push_back(shown);
  struct Pop {
    std::vector<QMessageBox*>& boxes;
    ~Pop() { boxes.pop_back(); }
  } pop{boxes_};
  shown->show();
  shown->raise();
  shown->activateWindow();
  scheduler_.messageBox(text);
  // Give the keys back to the box below or to the window, also where no window
  // manager does it.
  QWidget* next = window_.get();
  if (boxes_.size() > 1) {
    next = boxes_[boxes_.size() - 2];
  }
  if (next->isVisible()) {
    next->activateWindow();
  }
}

void DesktopHost::boxClosed(const std::string& /*text*/) {
  QMessageBox* closed = boxes_.back();
  closed->disconnect(this);
  closed->hide();
  // A player who closed a box just as a newer one opened on top of it closed,
  // for the game, the newer one: the older one is still open and shows again.
  for (QMessageBox* open : boxes_) {
    if (open != closed && !open->isVisible()) {
      open->show();
    }
  }
}

void DesktopHost::pause() {
  showChanges();
  if (window_->isVisible()) {
    window_->repaint();  // painted and sent to the screen now, not after the pause
  }
  scheduler_.pause();
}

void DesktopHost::drawLine(float x1, float y1, float x2, float y2) {
  window_->drawLine(x1, y1, x2, y2);
}

void DesktopHost::intervalChanged(const Timer& timer) {
  scheduler_.intervalChanged(timer);
  if (timer.number() == 2 && timer.Interval() > 0 && !courseSince_.isValid()) {
    courseSince_.start();
    if (courseStarted_) {
      courseStarted_();
    }
  }
}

}  // namespace torvin::desktop
