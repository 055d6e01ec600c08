#include "shell/form1.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

namespace torvin {

namespace {

constexpr char kSeparator = static_cast<char>(std::filesystem::path::preferred_separator);
constexpr Colour kSecretLabelPink = rgb(255, 128, 128);

}  // namespace

Form1::Form1(Platform& platform)
    : hub_{&platform, 0},
      platform_(platform),
      Form(hub_),
      Timer8(hub_, "Timer8", 8),
      Score(hub_, "Score", {496, 16, 33, 314}),
      Command1(hub_, "Command1", {352, 312, 65, 25}, "Start", 1),
      Command2(hub_, "Command2", {416, 312, 49, 25}, "How to", 0),
      Timer7(hub_, "Timer7", 7),
      Timer6(hub_, "Timer6", 6),
      Timer5(hub_, "Timer5", 5),
      Timer4(hub_, "Timer4", 4),
      Timer3(hub_, "Timer3", 3),
      Timer2(hub_, "Timer2", 2),
      Timer1(hub_, "Timer1", 1),
      Image9(hub_, "Image9", 304, 112, 137, 105),
      Image8(hub_, "Image8", 0, 0, 129, 97),
      Image7(hub_, "Image7", 136, 0, 137, 97),
      Image6(hub_, "Image6", 280, -8, 137, 105),
      Image5(hub_, "Image5", 216, 96, 49, 49),
      Image4(hub_, "Image4", 152, 96, 57, 49),
      Image3(hub_, "Image3", 80, 96, 49, 49),
      Image2(hub_, "Image2", 24, 96, 49, 49),
      Image1(hub_, "Image1", 136, 176, 145, 121),
      Label1(hub_, "Label1", 496, 0, 33, 17, "Score", kCaptionTextColour),
      Label5(hub_, "Label5", 0, 200, 49, 25, "Secret trick 4", kSecretLabelPink),
      Label4(hub_, "Label4", 0, 224, 49, 25, "Secret trick 3", kSecretLabelPink),
      Label3(hub_, "Label3", 0, 248, 49, 25, "Secret trick 2", kSecretLabelPink),
      Label2(hub_, "Label2", 0, 272, 49, 25, "Secret trick 1", kSecretLabelPink),
      Line6(hub_, "Line6", 1600, 296, 1688, 208, true),
      Line5(hub_, "Line5", 260, 296, 240, 316, false),
      Line4(hub_, "Line4", 340, 296, 320, 316, false),
      Line3(hub_, "Line3", 420, 296, 400, 316, false),
      Line2(hub_, "Line2", 500, 296, 480, 316, false),
      timers_{&Timer1, &Timer2, &Timer3, &Timer4, &Timer5, &Timer6, &Timer7, &Timer8},
      pictures_{&Image9, &Image8, &Image7, &Image6, &Image5, &Image4, &Image3, &Image2, &Image1},
      labels_{&Label1, &Label5, &Label4, &Label3, &Label2},
      lines_{&Line6, &Line5, &Line4, &Line3, &Line2} {}

void Form1::tick(int number) {
  switch (number) {
    case 1:
      Timer1_Timer();
      break;
    case 2:
      Timer2_Timer();
      break;
    case 3:
      Timer3_Timer();
      break;
    case 4:
      Timer4_Timer();
      break;
    case 5:
      Timer5_Timer();
      break;
    case 6:
      Timer6_Timer();
      break;
    case 7:
      Timer7_Timer();
      break;
    case 8:
      Timer8_Timer();
      break;
    default:
      break;
  }
}

void Form1::click(CommandButton& button) {
  if (!button.Enabled) {
    return;
  }
  if (&button == &Command1) {
    Command1_Click();
  } else if (&button == &Command2) {
    Command2_Click();
  }
}

std::string Form1::posePath(const std::string& file) const {
  return game.appPath + kSeparator + game.bikeId + kSeparator + file;
}

std::string Form1::backgroundPath(const std::string& file) const {
  return game.appPath + kSeparator + file;
}

Picture Form1::load(const std::string& path, std::string name) {
  const DecodedPicture decoded = platform_.loadPicture(path);
  return Picture{std::move(name), decoded.width, decoded.height, decoded.handle};
}

void Form1::showPose(const std::string& file) {
  Image1.setPicture(load(posePath(file), game.bikeId + "/" + file));
}

void Form1::showBackground(PictureBox& image, const std::string& file) {
  image.setPicture(load(backgroundPath(file), file));
}

void Form1::setBikeIntervals(const Bike& bike) {
  Timer1.setInterval(bike.intervals[0]);
  Timer3.setInterval(bike.intervals[1]);
  Timer5.setInterval(bike.intervals[2]);
  Timer7.setInterval(bike.intervals[3]);
  Timer8.setInterval(bike.intervals[4]);
}

std::vector<std::string> Form1::pictureCatalogue() {
  std::vector<std::string> files;
  for (const Bike& bike : kBikes) {
    for (int pose = 0; pose <= 31; ++pose) {
      if (pose == 1) {
        continue;  // there is no pose 001
      }
      char name[16];
      std::snprintf(name, sizeof name, "%s/%03d.jpg", bike.id, pose);
      files.emplace_back(name);
    }
  }
  for (const char* background :
       {"bg001.gif", "bg003.gif", "bg004.gif", "bg005.gif", "bg006.gif", "bg007.gif"}) {
    files.emplace_back(background);
  }
  return files;
}

void Form1::checkPictures() {
  std::string bad;
  for (const std::string& name : pictureCatalogue()) {
    std::string path = game.appPath + kSeparator + name;
    std::replace(path.begin() + static_cast<std::ptrdiff_t>(game.appPath.size()), path.end(), '/',
                 kSeparator);
    try {
      platform_.loadPicture(path);
    } catch (const PictureError& error) {
      bad += bad.empty() ? "" : "\n";
      bad += error.what();
    }
  }
  if (!bad.empty()) {
    throw PictureError("These pictures of the game are missing or unreadable:\n" + bad);
  }
}

}  // namespace torvin
