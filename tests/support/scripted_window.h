// The real game window played from a torvin-sim script on a virtual clock: the
// script's lines at their times, as fast as the machine goes, and a look at the
// window at every dump line. For tests that compare what the window shows.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "desktop/game_window.h"
#include "scene/picture_store.h"
#include "support/script_player.h"

namespace torvin::desktop::testing {

class ScriptedWindow final : public torvin::testing::ScriptPlayer {
 public:
  // `folder` holds the pictures; every message box is closed `autoclose` ms
  // after it opens (with no value, only by the script's close lines).
  ScriptedWindow(std::string folder, std::vector<script::Action> script,
                 std::optional<long long> autoclose = std::nullopt)
      : ScriptPlayer(std::move(script), autoclose),
        folder_(std::move(folder)),
        window_(form_, pictures_, [](CommandButton& /*button*/) {}) {}

  // Loads the window and plays the script to its end; `look` runs at every dump
  // line, with the window brought up to date and the game's clock.
  void run(const std::function<void(long long time)>& look) {
    look_ = look;
    ScriptPlayer::run();
  }

  GameWindow& window() { return window_; }
  // Runs after every event, once the window has been told what changed.
  void afterEvent(std::function<void()> then) { afterEvent_ = std::move(then); }

  // Platform
  DecodedPicture loadPicture(const std::string& path) override { return pictures_.load(path); }
  std::string programFolder() override { return folder_; }
  void drawLine(float x1, float y1, float x2, float y2) override {
    window_.drawLine(x1, y1, x2, y2);
  }

 protected:
  void eventHandled(int /*timer*/) override {
    if (form_.revision() != shownRevision_) {
      shownRevision_ = form_.revision();
      window_.refresh();
    }
    if (afterEvent_) {
      afterEvent_();
    }
  }
  void dumped(long long time) override { look_(time); }

 private:
  std::string folder_;
  std::function<void(long long)> look_;
  std::function<void()> afterEvent_;
  scene::PictureStore pictures_;
  GameWindow window_;
  std::uint64_t shownRevision_ = 0;
};

}  // namespace torvin::desktop::testing
