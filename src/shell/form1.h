// The game window Form1: its controls, its game state and its event handlers.
// The handlers live in the folder of the subsystem they belong to; hosts deliver
// events to them one at a time.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/colour.h"
#include "platform/controls.h"
#include "platform/platform.h"
#include "platform/random.h"
#include "shell/bikes.h"
#include "shell/game_state.h"

namespace torvin {

inline constexpr int kClientWidth = 531;
inline constexpr int kClientHeight = 343;

// The riding height: the rider stands on the ground when Image1's Top is 182.
inline constexpr float kGroundTop = 182.0F;
// The ground line drawn by the paint handler.
inline constexpr float kGroundLineY = 296.0F;

// The window's own properties.
struct WindowProps {
  explicit WindowProps(ControlHub& hub)
      : Caption(hub, "Torvin"), BackColor(hub, kCaptionTextColour) {}
  Prop<std::string> Caption;
  Prop<Colour> BackColor;
  bool KeyPreview = false;
};

class Form1 {
 public:
  explicit Form1(Platform& platform);
  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Event handlers, and the file under src/ that holds each.
  void Form_Load();                                     // shell/startup.cpp
  void Form_Paint();                                    // shell/startup.cpp
  void Form_KeyDown(std::uint16_t keyCode, int shift);  // input/key_bindings.cpp
  void Command1_Click();                                // shell/startup.cpp ("Start")
  void Command2_Click();                                // shell/startup.cpp ("How to")
  void Timer1_Timer();                                  // riding/bunny_hop.cpp
  void Timer2_Timer();                                  // riding/course.cpp
  void Timer3_Timer();                                  // tricks/basic_tricks.cpp
  void Timer4_Timer();                                  // scoring/referee.cpp
  void Timer5_Timer();                                  // tricks/flips.cpp
  void Timer6_Timer();                                  // tricks/manuals.cpp
  void Timer7_Timer();                                  // tricks/unlocks.cpp
  void Timer8_Timer();                                  // tricks/secret_tricks.cpp

  // Delivery helpers for hosts (in shell/form1.cpp, with the picture helpers
  // below): the tick of Timer`number` (1 to 8), and a click on a button, which a
  // disabled button ignores.
  void tick(int number);
  void click(CommandButton& button);

  std::uint64_t revision() const { return hub_.revision; }
  Timer& timer(int number) { return *timers_.at(static_cast<std::size_t>(number - 1)); }
  const Timer& timer(int number) const { return *timers_.at(static_cast<std::size_t>(number - 1)); }

  // The full path of a pose picture of the current bike, and of a background picture.
  std::string posePath(const std::string& file) const;
  std::string backgroundPath(const std::string& file) const;

 private:
  ControlHub hub_;
  Platform& platform_;

 public:
  WindowProps Form;

  // The controls, in the order the window holds them.
  Timer Timer8;
  ListBox Score;
  CommandButton Command1;
  CommandButton Command2;
  Timer Timer7;
  Timer Timer6;
  Timer Timer5;
  Timer Timer4;
  Timer Timer3;
  Timer Timer2;
  Timer Timer1;
  PictureBox Image9;
  PictureBox Image8;
  PictureBox Image7;
  PictureBox Image6;
  PictureBox Image5;
  PictureBox Image4;
  PictureBox Image3;
  PictureBox Image2;
  PictureBox Image1;
  Label Label1;
  Label Label5;
  Label Label4;
  Label Label3;
  Label Label2;
  Line Line6;
  Line Line5;
  Line Line4;
  Line Line3;
  Line Line2;

  GameState game;
  Random rnd;

  // Drawing order for hosts: each later one over the earlier ones.
  const std::array<const PictureBox*, 9>& pictures() const { return pictures_; }
  const std::array<const Label*, 5>& labels() const { return labels_; }
  const std::array<const Line*, 5>& lines() const { return lines_; }

  // Shows a pose of the current bike on the rider sprite.
  void showPose(const std::string& file);
  // Assigns a background picture to a picture control.
  void showBackground(PictureBox& image, const std::string& file);
  // Gives the trick timers and the hop timer the speeds of a bike.
  void setBikeIntervals(const Bike& bike);

  // Every picture file the game can show, relative to the pictures folder.
  static std::vector<std::string> pictureCatalogue();

 private:
  Picture load(const std::string& path, std::string name);
  // Loads every picture of the catalogue once; throws PictureError naming every bad file.
  void checkPictures();

  std::array<Timer*, 8> timers_;
  std::array<const PictureBox*, 9> pictures_;
  std::array<const Label*, 5> labels_;
  std::array<const Line*, 5> lines_;
};

}  // namespace torvin
