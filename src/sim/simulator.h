// The simulator host: runs the game on a virtual clock from a script of timed
// player actions, with no display, exactly repeatably.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "picture/picture_decoder.h"
#include "platform/platform.h"
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

  // Platform
  DecodedPicture loadPicture(const std::string& path) override;
  void messageBox(const std::string& text) override;
  void pause() override;
  std::string programFolder() override { return options_.assets; }
  void drawLine(float, float, float, float) override {}
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
  std::map<std::string, DecodedPicture> pictures_;
  picture::Decoder decoder_;  // takes the sizes; counts the pictures as the desktop keeps them
  Form1 form_;
  Scheduler scheduler_;
};

}  // namespace torvin::sim
