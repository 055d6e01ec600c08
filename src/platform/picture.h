// A loaded picture as the game sees it: its size, the host's handle to draw it,
// and the file it came from.
#pragma once

#include <stdexcept>
#include <string>

namespace torvin {

struct Picture {
  // The file relative to the pictures folder, with '/' between folder and file
  // ("01/009.jpg", "bg006.gif").
  std::string name;
  int width = 0;
  int height = 0;
  // The host's own reference to the decoded image (an index into its store).
  int handle = -1;
};

// What the platform's loader returns before the game names the picture.
struct DecodedPicture {
  int width = 0;
  int height = 0;
  int handle = -1;
};

// A picture file that is missing or cannot be decoded.
class PictureError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace torvin
