// The simulator host: runs the game on a virtual clock from a script of timed
// player actions, with no display, exactly repeatably.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "scene/picture_store.h"
#include "scene/renderer.h"
#include "schedule/scheduler.h"
#include "script/action.h"
#include "shell/form1.h"

namespace torvin::sim {

struct Options {
  std::string assets;                  // the pictures folder (appPath)
  std::optional<long long> autoclose;  // ms after which the player closes a message box
  bool trace = false;
  // Called after every event the game has handled, with the number of the timer
  // that ticked (0 for a script line); for long checks of the game's rules.
  std::function<void(int timer)> afterEvent;
  // Ticks that would change nothing are passed over (the game plays the same);
  // off, every tick of every timer runs, the referee's once a millisecond.
  bool skipIdleTicks = true;
  // With this, the pictures keep their pixels and the scene is drawn as the
  // window shows it: at every dump line it is composed and handed here, with
  // the dump's time (to write it as a picture, or to look at it in a test).
  std::function<void(long long time, const scene::Frame& frame)> frames = {};
};

class Simulator final : public Platform, private Scheduler::Host {
 public:
  Simulator(Options options, std::vector<script::Action> script, std::ostream& out);

  // Loads the window and plays the script to its last line. Throws PictureError
  // when a picture of the game is missing or unreadable.
  void run();

  const Form1& form() const { return form_; }
  long long clock() const { return scheduler_.clock(); }
  // How many pauses after a fall or crash the game has asked for.
  int pauses() const { return pauses_; }
  const Scheduler& scheduler() const { return scheduler_; }
  // With Options::frames: composes the scene as the game shows it now and
  // returns the rectangles of it that changed since it was last composed.
  const std::vector<scene::Rect>& composeScene();
  // The scene, with Options::frames; else none.
  const scene::Renderer* scene() const { return scene_ ? &*scene_ : nullptr; }

  // Platform
  DecodedPicture loadPicture(const std::string& path) override;
  void messageBox(const std::string& text) override;
  void pause() override;
  std::string programFolder() override { return options_.assets; }
  void drawLine(float x1, float y1, float x2, float y2) override;
  void intervalChanged(const Timer& timer) override;
  void pictureAssigned(const PictureBox& image) override;
  void itemAdded(const ListBox& list, const std::string& item) override;

 private:
  // Scheduler::Host: the virtual clock jumps, so the game clock is never held back.
  long long now() override;
  std::optional<long long> nextInput() override;
  void performInput() override;
  void wait(std::optional<long long> until) override;
  void boxClosed(const std::string& text) override;
  void handled(int timer) override;

  void print(const std::string& line);

  Options options_;
  std::vector<script::Action> script_;
  std::size_t next_ = 0;
  std::ostream& out_;
  int pauses_ = 0;
  // The same decoding as the desktop's, so the same files are refused; the
  // pixels are kept only for a scene (a picture counts against the decoder's
  // budget as kept either way).
  scene::PictureStore pictures_;
  std::optional<scene::Renderer> scene_;
  Form1 form_;
  Scheduler scheduler_;
};

}  // namespace torvin::sim
