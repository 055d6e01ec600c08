// For the command-level test of both programs: lists the hostile pictures, or
// plants one of them in a copy of the game's pictures.
//
//   plant_hostile_picture --list          one line per case: NAME FILE GOOD|BAD SENTENCE
//   plant_hostile_picture DIR NAME        replaces DIR/FILE with case NAME
#include <cstdio>
#include <exception>
#include <string>

#include "support/hostile_pictures.h"

int main(int argc, char** argv) {
  try {
    const auto table = torvin::testing::hostilePictures();
    if (argc == 2 && std::string(argv[1]) == "--list") {
      for (const auto& hostile : table) {
        std::printf("%s %s %s %s\n", hostile.name.c_str(), hostile.file.c_str(),
                    hostile.good ? "good" : "bad", hostile.text.c_str());
      }
      return 0;
    }
    if (argc == 3) {
      for (const auto& hostile : table) {
        if (hostile.name == argv[2]) {
          torvin::testing::plant(hostile, std::string(argv[1]) + "/" + hostile.file);
          return 0;
        }
      }
    }
    std::fprintf(stderr, "usage: plant_hostile_picture --list | DIR NAME\n");
    return 2;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "plant_hostile_picture: %s\n", error.what());
    return 1;
  }
}
