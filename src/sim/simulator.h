// The simulator host: runs the game on a virtual clock from a script of timed
// player actions, with no display, exactly repeatably.
#pragma once

#include <array>
#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "picture/picture_decoder.h"
#include "platform/platform.h"
#include "shell/form1.h"
#include "sim/script.h"

namespace torvin::sim {

struct Options {
  std::string assets;                  // the pictures folder (appPath)
  std::optional<long long> autoclose;  // ms after which the player closes a message box
  bool trace = false;
  // Called after every event the game has handled, with the number of the timer
  // that ticked (0 for a script line); for long checks of the game's rules.
  std::function<void(int timer)> afterEvent;
};

class Simulator final : public Platform {
 public:
  Simulator(Options options, std::vector<Action> script, std::ostream& out);

  // Loads the window and plays the script to its last line. Throws PictureError
  // when a picture of the game is missing or unreadable.
  void run();

  const Form1& form() const { return form_; }
  long long clock() const { return clock_; }
  // How many pauses after a fall or crash the game has asked for.
  int pauses() const { return pauses_; }

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
  struct Box {
    std::string text;
    std::optional<long long> autocloseAt;
    bool closed = false;
  };

  // Runs events until `box` is closed (a message box's own loop) or, for the
  // window's loop (no box), until the script ends.
  void loop(const Box* box);
  // The lowest-numbered timer that is due and not inside its own handler, or 0.
  int dueTimer() const;
  long long nextEventTime() const;
  void fire(int number);
  void perform(const Action& action);
  void closeInnermost();
  void emit(const std::string& line);

  Options options_;
  std::vector<Action> script_;
  std::size_t next_ = 0;
  std::ostream& out_;
  long long clock_ = 0;
  int pauses_ = 0;
  std::array<long long, 9> due_{};   // by timer number; index 0 unused
  std::array<bool, 9> inHandler_{};  // a tick of this timer has not returned yet
  std::vector<Box*> boxes_;          // open message boxes, innermost last
  std::map<std::string, DecodedPicture> pictures_;
  picture::Decoder decoder_;  // takes the sizes; counts the pictures as the desktop keeps them
  Form1 form_;
};

}  // namespace torvin::sim
