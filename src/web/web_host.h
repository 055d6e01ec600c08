// The web host: runs the game in the browser page on the game's one clock (the
// scheduler), with the page's clock in whole milliseconds since it started the
// game. The page queues the player's keys, clicks and box closes with the
// millisecond at which they arrived; the host takes them in order after the
// timers due by then, and waits for the next due event by awaiting the page
// (the module is suspended meanwhile, and nothing calls into it). So a run in
// the page follows exactly the timing rules of torvin-sim, and its recording
// replays there to the same state.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "scene/picture_store.h"
#include "schedule/scheduler.h"
#include "script/action.h"
#include "shell/form1.h"
#include "web/page_bridge.h"
#include "web/page_view.h"

namespace torvin::web {

class WebHost final : public Platform, private Scheduler::Host {
 public:
  // What the page asked for when a game ended.
  enum class Next {
    NewGame,  // a new game for the player
    Watch,    // a new game played by the script of watchScript()
    Over,     // nothing yet: a watched run reached its end
  };

  // A new game; with a script, the script plays it instead of the player, at
  // real speed, as torvin --replay does.
  explicit WebHost(std::optional<std::vector<script::Action>> script = std::nullopt);

  // Loads the window (Form_Load, at time 0). Throws PictureError naming every
  // bad picture.
  void load();
  // Plays the game until it ends; says what the page wants next.
  Next run();
  // After a watched run: keeps the last scene and answers the page's dumps
  // until it asks for a new game or another run.
  Next afterwards();
  // The script to watch, once run() or afterwards() said Watch.
  std::vector<script::Action> watchScript() { return std::move(watch_); }

  // The snapshot of the game, in torvin-sim's dump format.
  std::string snapshot() const;

  // Platform
  DecodedPicture loadPicture(const std::string& path) override { return pictures_.load(path); }
  void messageBox(const std::string& text) override;
  void pause() override;
  std::string programFolder() override { return kPictures; }
  void drawLine(float x1, float y1, float x2, float y2) override { view_.drawLine(x1, y1, x2, y2); }
  void intervalChanged(const Timer& timer) override { scheduler_.intervalChanged(timer); }

  // Where the pictures lie in the page's files.
  static constexpr const char* kPictures = "/assets";

 private:
  // Scheduler::Host
  long long now() override;
  std::optional<long long> nextInput() override;
  void performInput() override;
  void wait(std::optional<long long> until) override;
  void sleepUntil(long long until) override;
  void boxClosed(const std::string& text) override;
  void handled(int timer) override;

  // Performs one of the player's actions (or the script's), recording it.
  void perform(const script::Action& action);
  // Takes the page's next input and performs it: the player's key, click or
  // close (none while a run is watched), or a request of the page; returns
  // what it ends the game for, if it does.
  std::optional<Next> performPageInput();
  // The page's requests that do not play the game: a dump, a repaint, a run
  // to watch, a new game. Says what comes next when one ends this game.
  std::optional<Next> pageRequest(const page::Input& input);
  // Reads the script the page was given to watch; a bad one is refused on the
  // page with the reader's sentence, and the game goes on.
  bool readWatchScript();
  // Ends the game (even from inside a handler that waits on a message box).
  [[noreturn]] void end(Next next);

  scene::PictureStore pictures_;
  Form1 form_;
  Scheduler scheduler_;
  PageView view_;
  std::optional<std::vector<script::Action>> script_;  // a watched run
  std::size_t nextLine_ = 0;
  std::vector<script::Action> watch_;  // the next run to watch
  Next next_ = Next::Over;
};

}  // namespace torvin::web
