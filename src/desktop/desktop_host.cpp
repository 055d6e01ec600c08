#include "desktop/desktop_host.h"

#include <QApplication>
#include <QKeyEvent>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <exception>
#include <thread>

#include "desktop/key_codes.h"
#include "desktop/message_box.h"

namespace torvin::desktop {

DesktopHost::DesktopHost(std::string folder)
    : folder_(std::move(folder)),
      form_(*this),
      window_(std::make_unique<GameWindow>(form_, pictures_,
                                           [this](CommandButton& button) { click(button); })) {
  for (int number = 1; number <= 8; ++number) {
    QTimer& clock = clocks_[index(number)];
    clock.setTimerType(Qt::PreciseTimer);
    connect(&clock, &QTimer::timeout, this, [this, number] { fire(number); });
  }
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

template <class Handler>
void DesktopHost::handle(Handler&& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    // Every picture was checked at load, so this is a file that went away since.
    reportError(window_.get(), error.what());
    std::exit(EXIT_FAILURE);
  }
  showChanges();
}

void DesktopHost::fire(int number) {
  bool& busy = inHandler_[index(number)];
  TickCounts& counts = ticks_[index(number)];
  if (busy) {
    // An earlier tick is still waiting on a message box: this one is dropped and
    // the next comes on the timer's normal schedule.
    ++counts.dropped;
    return;
  }
  ++counts.delivered;
  busy = true;
  handle([this, number] { form_.tick(number); });
  busy = false;
  judge();
}

void DesktopHost::judge() {
  if (form_.Timer4.Interval() <= 0) {
    return;
  }
  bool& busy = inHandler_[index(kReferee)];
  TickCounts& counts = ticks_[index(kReferee)];
  if (busy) {
    // The referee is still inside its own message box: a 1 ms tick now would be
    // dropped too.
    ++counts.dropped;
    return;
  }
  busy = true;
  bool waited = true;
  while (waited && form_.Timer4.Interval() > 0) {
    const long long waitsBefore = waits_;
    ++counts.delivered;
    handle([this] { form_.Timer4_Timer(); });
    // Other events ran while it waited on a message box (or queued up behind the
    // pause): its next tick, due at once, judges what they changed.
    waited = waits_ != waitsBefore;
  }
  busy = false;
}

void DesktopHost::keyDown(std::uint16_t keyCode, int shift) {
  ++keys_;
  handle([this, keyCode, shift] { form_.Form_KeyDown(keyCode, shift); });
  judge();
}

void DesktopHost::click(CommandButton& button) {
  handle([this, &button] { form_.click(button); });
  judge();
}

void DesktopHost::showChanges() {
  if (form_.revision() != shownRevision_) {
    shownRevision_ = form_.revision();
    window_->refresh();
  }
}

bool DesktopHost::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress || !watched->isWidgetType() || openBoxes_ > 0) {
    return false;
  }
  auto* widget = static_cast<QWidget*>(watched);
  QWidget* focus = QApplication::focusWidget();
  // A key that nobody takes travels on to the parents of the focus widget; the
  // game hears it once, when it reaches the widget it was meant for.
  if (widget != (focus != nullptr ? focus : window_.get()) || widget->window() != window_.get()) {
    return false;
  }
  const auto* key = static_cast<QKeyEvent*>(event);
  keyDown(virtualKeyCode(*key), shiftState(key->modifiers()));
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
  ++waits_;
  ++openBoxes_;
  showMessage(window_.get(), QString::fromStdString(text));
  --openBoxes_;
}

void DesktopHost::pause() {
  ++waits_;
  showChanges();
  if (window_->isVisible()) {
    window_->repaint();  // painted and sent to the screen now, not after the pause
  }
  // Nothing is handled meanwhile: what arrives waits in the queue until after it.
  std::this_thread::sleep_for(std::chrono::milliseconds(kPauseMs));
}

void DesktopHost::drawLine(float x1, float y1, float x2, float y2) {
  window_->drawLine(x1, y1, x2, y2);
}

void DesktopHost::intervalChanged(const Timer& timer) {
  QTimer& clock = clocks_[index(timer.number())];
  const int interval = timer.Interval();
  if (timer.number() == kReferee) {
    // No clock for the referee: a 1 ms clock would wake the game a thousand times
    // a second to judge a state that only events change. It judges right after
    // each of them instead (judge()).
    clock.stop();
    return;
  }
  if (timer.number() == 2 && interval > 0 && !courseSince_.isValid()) {
    courseSince_.start();
    if (courseStarted_) {
      courseStarted_();
    }
  }
  if (interval <= 0) {
    clock.stop();
  } else if (!clock.isActive() || clock.interval() != interval) {
    // A running clock with the same interval keeps its countdown.
    clock.start(interval);
  }
}

}  // namespace torvin::desktop
