// What the player sees of every air trick played to its end: its key, the timer
// that plays it, its points, and the poses shown on each tick of that timer in
// the air (picture numbers, without the bike's folder). The closing tick of the
// longer tricks shows two pictures.
#pragma once

#include <string>
#include <vector>

namespace torvin::scenario {

struct TrickPoses {
  char key;
  int timer;
  int points;
  std::vector<std::vector<std::string>> ticks;
};

inline const std::vector<TrickPoses>& trickPoses() {
  static const std::vector<TrickPoses> tricks = {
      {'Q', 3, 5, {{"003"}, {"004"}, {"003"}, {"002"}}},
      {'W', 3, 5, {{"005"}, {"006"}, {"005"}, {"002"}}},
      {'E', 3, 5, {{"007"}, {"008"}, {"007"}, {"002"}}},
      {'D', 3, 5, {{"018"}, {"019"}, {"018"}, {"002"}}},
      {'F', 3, 5, {{"020"}, {"021"}, {"022"}, {"002"}}},
      {'G', 3, 5, {{"023"}, {"024"}, {"025"}, {"002"}}},
      {'Y', 3, 5, {{"003"}, {"029"}, {"003"}, {"002"}}},
      {'U', 3, 5, {{"027"}, {"026"}, {"028"}, {"002"}}},
      {'I', 3, 5, {{"030"}, {"031"}, {"031"}, {"002"}}},
      {'R', 5, 10, {{"009"}, {"010"}, {"011"}, {"012"}, {"013"}, {"014"}, {"015"}, {"002", "002"}}},
      {'T', 5, 10, {{"015"}, {"014"}, {"013"}, {"016"}, {"017"}, {"010"}, {"009"}, {"002", "002"}}},
      {'Z', 5, 15, {{"023"}, {"024"}, {"025"}, {"002"}, {"023"}, {"024"}, {"025"}, {"002", "002"}}},
      {'X', 8, 20, {{"002"}, {"023"}, {"024"}, {"025"}, {"002"}, {"005"}, {"006"}, {"005", "002"}}},
      {'C', 8, 25, {{"020"}, {"021"}, {"022"}, {"007"}, {"020"}, {"021"}, {"022"}, {"007", "002"}}},
      {'V',
       7,
       30,
       {{"009"},
        {"010"},
        {"011"},
        {"012"},
        {"013"},
        {"014"},
        {"015"},
        {"002"},
        {"009"},
        {"010"},
        {"017"},
        {"016"},
        {"013"},
        {"014"},
        {"015"},
        {"009", "002"}}},
  };
  return tricks;
}

}  // namespace torvin::scenario
