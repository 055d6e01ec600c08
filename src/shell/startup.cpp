// The handlers that frame the life of the window: load, paint, "Start" and "How to".
#include <array>

#include "shell/form1.h"

namespace torvin {

namespace {

// The sky after "Start": light sky blue.
constexpr Colour kSky = rgb(150, 213, 255);

constexpr std::array<const char*, 3> kHelpTexts = {
    "Trick list: Bunny hop - H;   Can-Can - Q;   No hander - W; Superman - E; Backflip - R; "
    "Frontflip - T; Candy Bar - Y; 360 - U; Tabletop - I; Nothing - D; Tailwhip - F; "
    "Barspin - G",
    "Manual - A (press every second!); Nose Manual - S (press every second!)",
    "",
};

}  // namespace

void Form1::Form_Load() {
  Form.KeyPreview = true;
  // The pictures are looked for in the program's folder from the start, so that a
  // trick asked for before "Start" finds its poses; "Start" sets it again.
  game.appPath = platform_.programFolder();
  checkPictures();
  game.courseRunning = 0;
  game.totalScore = 0;
  setBikeIntervals(kBikes[0]);
  Label2.Visible = false;
  Label3.Visible = false;
  Label4.Visible = false;
  Label5.Visible = false;
  game.bikeId = kBikes[0].id;
  game.hopStep = kHopStepAtRest;
}

void Form1::Form_Paint() {
  platform_.drawLine(0, kGroundLineY, static_cast<float>(kClientWidth), kGroundLineY);
}

void Form1::Command1_Click() {
  game.appPath = platform_.programFolder();

  Image1.Width = 114;
  Image1.Height = 114;
  Image1.Top = kGroundTop;
  showPose("002.jpg");

  Form.BackColor = kSky;

  for (PictureBox* sky : {&Image3, &Image4, &Image5, &Image9}) {
    sky->Width = 140;
    sky->Height = 114;
  }

  showBackground(Image3, "bg003.gif");
  showBackground(Image4, "bg004.gif");
  showBackground(Image5, "bg005.gif");
  showBackground(Image6, "bg001.gif");
  showBackground(Image7, "bg001.gif");
  showBackground(Image8, "bg001.gif");

  Image3.Top = 5;
  Image4.Top = 10;
  Image5.Top = 15;
  Image9.Top = 0;
  Image6.Top = 296;
  Image7.Top = 296;
  Image8.Top = 296;

  Image6.Left = 20;
  Image7.Left = -580;
  Image8.Left = 620;
  for (PictureBox* tile : {&Image6, &Image7, &Image8}) {
    tile->Height = 284;
  }
  for (PictureBox* tile : {&Image6, &Image7, &Image8}) {
    tile->Width = 600;
  }

  Image3.Left = 600;
  Image4.Left = 550;
  Image5.Left = 500;
  Image9.Left = 5000;

  showBackground(Image9, "bg007.gif");

  // A new run: no points, no tricks, no flight.
  for (Integer GameState::*field : kNewRunFields) {
    game.*field = 0;
  }
  // Every run starts with a whole hop, whatever a hop before "Start" (or one
  // under way now) has left in hopStep: 32 up first, and the fall ends at 32.
  game.hopStep = kHopStepAtRest;
  game.hopStepLimit = game.hopStep;
  game.flightStep = game.hopStep;

  Timer2.setInterval(40);
  Timer4.setInterval(1);
  Timer6.setInterval(100);

  game.courseRunning = 1;
  Command1.Enabled = false;
}

void Form1::Command2_Click() {
  for (const char* text : kHelpTexts) {
    platform_.messageBox(text);
  }
}

}  // namespace torvin
