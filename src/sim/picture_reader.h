// Reads a picture file the way the simulator needs it: checks that it decodes
// and gives its size (for a GIF, its logical screen). No pixels are kept.
#pragma once

#include <string>

namespace torvin::sim {

struct PictureSize {
  int width = 0;
  int height = 0;
};

// Throws torvin::PictureError naming the file and what is wrong with it.
PictureSize readPictureSize(const std::string& path);

}  // namespace torvin::sim
