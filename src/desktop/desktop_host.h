// The desktop host: runs the game in a real Qt window. It owns the window, one Qt
// timer per game timer (but the referee), the decoded pictures and the message
// boxes, and hands every event to the game's handlers one at a time.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "desktop/game_window.h"
#include "desktop/picture_store.h"
#include "platform/platform.h"
#include "shell/form1.h"

namespace torvin::desktop {

class DesktopHost final : public QObject, public Platform {
 public:
  // `folder` is where the pictures lie (the game's appPath).
  explicit DesktopHost(std::string folder);
  ~DesktopHost() override;

  // Loads the window (Form_Load). Throws PictureError naming every bad picture.
  void load();

  Form1& form() { return form_; }
  const Form1& form() const { return form_; }
  GameWindow& window() { return *window_; }
  const PictureStore& pictures() const { return pictures_; }

  // What happened to the ticks of Timer`number` so far.
  struct TickCounts {
    long long delivered = 0;  // handed to the timer's handler
    long long dropped = 0;    // came while an earlier tick was still inside a message box
  };
  const TickCounts& ticks(int number) const { return ticks_.at(index(number)); }
  // The Qt clock behind Timer`number`. The referee's (4) is never armed: it
  // judges right after every other event instead.
  const QTimer& clock(int number) const { return clocks_.at(index(number)); }
  long long keysDelivered() const { return keys_; }
  int openMessageBoxes() const { return openBoxes_; }

  // How often picture files were decoded: files seen, the most decodes of any one
  // file, and all decodes together.
  struct Decodes {
    std::size_t files = 0;
    int mostOfOneFile = 0;
    long long total = 0;
  };
  Decodes decodes() const;
  // Wall-clock milliseconds since the course first started (Timer2 armed), or -1.
  qint64 courseMs() const { return courseSince_.isValid() ? courseSince_.elapsed() : -1; }
  // Called once, when the course first starts.
  void setCourseStartedHook(std::function<void()> started) { courseStarted_ = std::move(started); }

  // Platform
  DecodedPicture loadPicture(const std::string& path) override;
  void messageBox(const std::string& text) override;
  void pause() override;
  std::string programFolder() override { return folder_; }
  void drawLine(float x1, float y1, float x2, float y2) override;
  void intervalChanged(const Timer& timer) override;

 protected:
  // The window's key preview: every key-down meant for the window goes to the
  // game's key handler before the widget with the focus sees it.
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  static std::size_t index(int number) { return static_cast<std::size_t>(number - 1); }

  // The referee, Timer4, whose Interval of 1 ms asks to judge the game as soon
  // as anything changes.
  static constexpr int kReferee = 4;

  void fire(int number);
  // Runs the referee's tick right after an event, as a 1 ms clock would: not
  // while its own handler is still inside a message box, and once more right
  // after a tick that waited on a box or the pause, for what happened meanwhile.
  void judge();
  void keyDown(std::uint16_t keyCode, int shift);
  void click(CommandButton& button);
  // Shows what the last event changed; nothing happens when nothing visible changed.
  void showChanges();
  // Runs one event of the game; a picture that cannot be loaded ends the program.
  template <class Handler>
  void handle(Handler&& handler);

  std::string folder_;
  PictureStore pictures_;
  Form1 form_;
  std::unique_ptr<GameWindow> window_;
  std::array<QTimer, 8> clocks_;
  std::array<bool, 8> inHandler_{};
  std::array<TickCounts, 8> ticks_{};
  long long keys_ = 0;
  int openBoxes_ = 0;
  long long waits_ = 0;  // message boxes and pauses so far
  std::map<std::string, int> decodesByFile_;
  QElapsedTimer courseSince_;
  std::function<void()> courseStarted_;
  std::uint64_t shownRevision_ = 0;
};

}  // namespace torvin::desktop
