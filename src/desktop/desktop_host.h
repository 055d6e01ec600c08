// The desktop host: runs the game in a real Qt window on the game's one clock
// (the scheduler), with a monotonic clock in milliseconds since the window was
// created. Keys, clicks and the closing of message boxes are queued with the
// millisecond at which they arrived and handled in order after the timers due
// by then; one precise wake-up waits for the next due event. So a run in the
// window follows exactly the timing rules of torvin-sim, and can be written
// down as a script (a recording) that the simulator replays to the same state.
//
// The player can pause the game (P, Pause, or the window losing the focus to
// another program): the game's clock then stands still, so the paused time is
// simply absent from the game and from its recording.
#pragma once

#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desktop/game_window.h"
#include "platform/platform.h"
#include "scene/picture_store.h"
#include "schedule/scheduler.h"
#include "script/action.h"
#include "shell/form1.h"

class QEventLoop;
class QKeyEvent;
class QMessageBox;

namespace torvin::desktop {

class LineOutput;
class Recording;

class DesktopHost final : public QObject, public Platform, private Scheduler::Host {
 public:
  // `folder` is where the pictures lie (the game's appPath). The window is
  // created now, and the game's clock starts with it.
  explicit DesktopHost(std::string folder);
  ~DesktopHost() override;

  // Loads the window (Form_Load, at time 0). Throws PictureError naming every bad
  // picture.
  void load();
  // Plays the game until it ends: the window closed, end(), or the last line
  // of a replay handled.
  void run();
  // Ends the game as soon as the timers due by now have ticked, even with
  // message boxes open (closing the window, a signal, --quit-after).
  void end();

  // Plays a script instead of the player: its lines at their times, at real
  // speed; the player's own keys and clicks do nothing, Escape ends it. The
  // game ends once the script's last line has been handled (at once for a
  // script without a line).
  void replay(std::vector<script::Action> script);
  // Writes every key, click and box close as a torvin-sim script line at the
  // millisecond at which it was handled, and a last dump when the game ends.
  void record(Recording& recording) { recording_ = &recording; }
  // When the game ends, prints a snapshot in torvin-sim's dump format here.
  void dumpAtExit(LineOutput& out) { dumpAtExit_ = &out; }
  // Where a replay's dump lines are printed (nowhere without one).
  void dumpsTo(LineOutput& out) { dumps_ = &out; }

  // Told of what the game does as it runs, for the figures of a run.
  class Watcher {
   public:
    virtual ~Watcher() = default;
    // An event was handled: a tick of Timer`timer`, or an input (0).
    virtual void handled(int /*timer*/) {}
    // An action of the player (or of a replay) is performed now.
    virtual void performed(const script::Action& /*action*/) {}
    // A timer's Interval changed.
    virtual void intervalChanged(const Timer& /*timer*/) {}
    // The game asked for the picture at `path`; the store decoded `decodes`
    // files for it.
    virtual void pictureLoaded(const std::string& /*path*/, std::size_t /*decodes*/) {}
  };
  void watch(Watcher& watcher) { watcher_ = &watcher; }

  Form1& form() { return form_; }
  const Form1& form() const { return form_; }
  const Scheduler& scheduler() const { return scheduler_; }
  GameWindow& window() { return *window_; }
  // The game's clock: ms since the window was created, less the time it was
  // paused.
  long long clock() const { return scheduler_.clock(); }

  // The player's pause: the game's clock stands still and no key reaches the
  // game until it is resumed. A replay is never paused.
  void setPaused(bool paused);
  bool paused() const { return paused_; }

  // The message boxes on the screen, innermost last.
  const std::vector<QMessageBox*>& openMessageBoxes() const { return boxes_; }
  // The snapshot of the game, in torvin-sim's dump format.
  std::string snapshot() const;

  // Platform
  DecodedPicture loadPicture(const std::string& path) override;
  void messageBox(const std::string& text) override;
  void pause() override;
  std::string programFolder() override { return folder_; }
  void drawLine(float x1, float y1, float x2, float y2) override;
  void intervalChanged(const Timer& timer) override;

 protected:
  // The window's key preview: every key-down meant for the window or one of its
  // message boxes is queued for the game; the widget with the focus still gets it.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Scheduler::Host
  long long now() override;
  std::optional<long long> nextInput() override;
  void performInput() override;
  void wait(std::optional<long long> until) override;
  void sleepUntil(long long until) override;
  void boxClosed(const std::string& text) override;
  void handled(int timer) override;

  // Queues the player's input, stamped with the millisecond it arrived. An End
  // ends the game.
  void arrive(script::Action input);
  void perform(const script::Action& action);
  // A key-down meant for the game's window or one of its boxes, at the widget
  // with the focus: whether the widget still gets it.
  bool keyDown(const QKeyEvent& key);
  // A mouse button pressed on the window while the game is paused resumes it;
  // the click does nothing else.
  bool mouseWhilePaused(const QWidget& widget, QEvent::Type type);
  // The window lost the focus to another program, or got it back.
  void applicationStateChanged(Qt::ApplicationState state);
  void finish();
  void click(CommandButton& button);
  // Shows what the last event changed; nothing happens when nothing visible changed.
  void showChanges();

  std::string folder_;
  QElapsedTimer since_;  // the window's age: the game's time, with the pauses
  bool paused_ = false;
  long long pausedAt_ = 0;   // the window's age when the pause began
  long long pausedFor_ = 0;  // the pauses before it, in all
  scene::PictureStore pictures_;
  Form1 form_;
  Scheduler scheduler_;
  std::unique_ptr<GameWindow> window_;
  std::deque<script::Action> inputs_;  // the player's, in time order
  long long lastStamp_ = 0;
  std::optional<std::vector<script::Action>> script_;  // a replay
  std::size_t nextLine_ = 0;
  QTimer wake_;                    // the one wake-up for the next due event
  QEventLoop* waiting_ = nullptr;  // set while the game waits for an event
  std::vector<QMessageBox*> boxes_;
  Recording* recording_ = nullptr;
  LineOutput* dumpAtExit_ = nullptr;
  LineOutput* dumps_ = nullptr;
  Watcher* watcher_ = nullptr;
  std::uint64_t shownRevision_ = 0;
};

}  // namespace torvin::desktop
