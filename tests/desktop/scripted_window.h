// The real game window played from a torvin-sim script on a virtual clock: the
// script's lines at their times, as fast as the machine goes, and a look at the
// window at every dump line. For tests that compare what the window shows.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "desktop/game_window.h"
#include "desktop/picture_store.h"
#include "platform/platform.h"
#include "schedule/scheduler.h"
#include "shell/form1.h"
#include "sim/script.h"

namespace torvin::desktop::testing {

class ScriptedWindow final : public Platform, private Scheduler::Host {
 public:
  // `folder` holds the pictures; every message box is closed `autoclose` ms
  // after it opens (with no value, only by the script's close lines).
  ScriptedWindow(std::string folder, std::vector<sim::Action> script,
                 std::optional<long long> autoclose = std::nullopt);

  // Loads the window and plays the script to its end; `look` runs at every dump
  // line, with the window brought up to date and the game's clock.
  void run(const std::function<void(long long time)>& look);

  GameWindow& window() { return window_; }
  Form1& form() { return form_; }

  // Platform
  DecodedPicture loadPicture(const std::string& path) override { return pictures_.load(path); }
  void messageBox(const std::string& text) override;
  void pause() override;
  std::string programFolder() override { return folder_; }
  void drawLine(float x1, float y1, float x2, float y2) override;
  void intervalChanged(const Timer& timer) override;

 private:
  // Scheduler::Host: the virtual clock reaches any time at once.
  long long now() override;
  std::optional<long long> nextInput() override;
  void performInput() override;
  void wait(std::optional<long long> until) override;
  void handled(int timer) override;

  void showChanges();

  std::string folder_;
  std::vector<sim::Action> script_;
  std::size_t next_ = 0;
  std::function<void(long long)> look_;
  PictureStore pictures_;
  Form1 form_;
  Scheduler scheduler_;
  GameWindow window_;
  std::uint64_t shownRevision_ = 0;
};

}  // namespace torvin::desktop::testing
