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
#include "desktop/line_output.h"
#include "desktop/message_box.h"
#include "desktop/recording.h"
#include "desktop/window_keys.h"
#include "script/json_output.h"
#include "script/perform.h"

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
  connect(qApp, &QGuiApplication::applicationStateChanged, this,
          [this](Qt::ApplicationState state) { applicationStateChanged(state); });
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
  arrive({.kind = script::ActionKind::End});
}

void DesktopHost::replay(std::vector<script::Action> script) {
  script_ = std::move(script);
  nextLine_ = 0;
}

std::string DesktopHost::snapshot() const {
  return script::snapshotJson(scheduler_.clock(), form_, scheduler_.openBox());
}

long long DesktopHost::now() {
  return (paused_ ? pausedAt_ : since_.elapsed()) - pausedFor_;
}

void DesktopHost::setPaused(bool paused) {
  if (paused == paused_ || (paused && script_)) {
    return;
  }
  if (paused) {
    pausedAt_ = since_.elapsed();
  } else {
    pausedFor_ += since_.elapsed() - pausedAt_;
  }
  paused_ = paused;
  window_->setPaused(paused);
  if (waiting_ != nullptr) {
    waiting_->quit();  // the next event's time is a new one
  }
}

void DesktopHost::applicationStateChanged(Qt::ApplicationState state) {
  // The game's own message boxes keep the focus in the game: only another
  // program's window taking it makes the game inactive.
  if (state != Qt::ApplicationActive && window_->isVisible()) {
    setPaused(true);
  }
}

void DesktopHost::arrive(script::Action input) {
  // Stamps never go back, so the queue stays in time order.
  lastStamp_ = std::max(now(), lastStamp_);
  input.time = lastStamp_;
  inputs_.push_back(input);
  if (waiting_ != nullptr) {
    waiting_->quit();
  }
}

std::optional<long long> DesktopHost::nextInput() {
  if (script_ && script_->empty()) {
    finish();  // a replay without a line ends at once, as in torvin-sim
  }
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
    perform((*script_)[nextLine_++]);
    if (nextLine_ == script_->size()) {
      finish();  // a replay ends with its last line, as in torvin-sim
    }
    return;
  }
  const script::Action input = inputs_.front();
  inputs_.pop_front();
  if (input.kind == script::ActionKind::End) {
    finish();
  }
  perform(input);
}

void DesktopHost::perform(const script::Action& action) {
  const bool players = action.kind == script::ActionKind::Key ||
                       action.kind == script::ActionKind::Click ||
                       action.kind == script::ActionKind::Close;
  if (players && recording_ != nullptr) {
    recording_->write(scheduler_.clock(), action);
  }
  if (watcher_ != nullptr) {
    watcher_->performed(action);
  }
  const std::optional<std::string> dump = script::perform(action, scheduler_, form_);
  if (dump && dumps_ != nullptr) {
    dumps_->write(*dump + "\n");
  }
}

void DesktopHost::finish() {
  if (recording_ != nullptr) {
    recording_->write(scheduler_.clock(), {.kind = script::ActionKind::Dump});
  }
  if (dumpAtExit_ != nullptr) {
    dumpAtExit_->write(snapshot() + "\n");
  }
  throw RunEnded{};
}

void DesktopHost::wait(std::optional<long long> until) {
  QEventLoop loop;
  waiting_ = &loop;
  if (until && !paused_) {  // paused, only the player's resuming ends the wait
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
  if (watcher_ != nullptr) {
    watcher_->handled(timer);
  }
  showChanges();
}

void DesktopHost::click(CommandButton& button) {
  if (!script_) {  // a replay plays on its own
    arrive({.kind = script::ActionKind::Click,
            .button =
                &button == &form_.Command1 ? script::Button::Command1 : script::Button::Command2});
  }
}

void DesktopHost::showChanges() {
  if (form_.revision() != shownRevision_) {
    shownRevision_ = form_.revision();
    window_->refresh();
  } else {
    window_->refreshPoints();  // the scores are no control: they change unseen
  }
}

bool DesktopHost::eventFilter(QObject* watched, QEvent* event) {
  if (!watched->isWidgetType()) {
    return false;
  }
  auto* widget = static_cast<QWidget*>(watched);
  const QEvent::Type type = event->type();
  if (paused_ && (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonRelease ||
                  type == QEvent::MouseButtonDblClick)) {
    return mouseWhilePaused(*widget, type);
  }
  if (type != QEvent::KeyPress) {
    return false;
  }
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
  return !keyDown(*static_cast<QKeyEvent*>(event));
}

bool DesktopHost::keyDown(const QKeyEvent& key) {
  const Qt::KeyboardModifiers modifiers = key.modifiers();
  const WindowKey pressed{
      virtualKeyCode(key), modifiers.testFlag(Qt::ControlModifier),
      modifiers.testFlag(Qt::AltModifier) || modifiers.testFlag(Qt::MetaModifier),
      key.isAutoRepeat()};
  const KeyMeaning meaning = meaningOf(pressed, {paused_, !boxes_.empty()});
  if (script_) {
    // A replay plays on its own: the player's keys do nothing but end it.
    if (key.key() == Qt::Key_Escape || meaning.action == WindowAction::Quit) {
      end();
    }
    return key.key() == Qt::Key_F11;
  }
  if (meaning.played) {
    arrive({.kind = script::ActionKind::Key, .keyCode = pressed.code});
  }
  switch (meaning.action) {
    case WindowAction::None:
      break;
    case WindowAction::Pause:
      setPaused(true);
      break;
    case WindowAction::Resume:
      setPaused(false);
      break;
    case WindowAction::Quit:
      end();
      break;
    case WindowAction::HowTo:
      // Exactly the button's click, and only where the button could be clicked.
      if (form_.Command2.Enabled && window_->button(form_.Command2).isVisible()) {
        click(form_.Command2);
      }
      break;
    case WindowAction::TogglePoints:
      window_->setShowPoints(!window_->showsPoints());
      break;
    case WindowAction::LeaveFullScreen:
      if (window_->fullScreen()) {
        window_->toggleFullScreen();
      }
      break;
  }
  // Otherwise the focus widget still gets the key: buttons work with Space.
  return meaning.toWidget;
}

bool DesktopHost::mouseWhilePaused(const QWidget& widget, QEvent::Type type) {
  if (widget.window() != window_.get()) {
    return false;  // a message box's buttons still close it
  }
  if (type == QEvent::MouseButtonPress) {
    setPaused(false);
  }
  return true;
}

DecodedPicture DesktopHost::loadPicture(const std::string& path) {
  const std::size_t before = pictures_.decoded();
  DecodedPicture picture = pictures_.load(path);
  if (watcher_ != nullptr) {
    watcher_->pictureLoaded(path, pictures_.decoded() - before);
  }
  return picture;
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
      arrive({.kind = script::ActionKind::Close});
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
  if (watcher_ != nullptr) {
    watcher_->intervalChanged(timer);
  }
}

}  // namespace torvin::desktop
