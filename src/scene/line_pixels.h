// The pixels of a line one pixel wide, chosen exactly as the window has always
// drawn them with Qt's raster engine (an aliased one-pixel pen with square
// ends): the ends in 1/64 pixel, one pixel per column (or per row, for a
// steep line) stepped in 1/65536 pixel, both end pixels included, the line first
// cut to just outside the scene.
#pragma once

#include <vector>

namespace torvin::scene {

struct Point {
  int x = 0;
  int y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// The scene's pixels of the line from (x1, y1) to (x2, y2), in drawing order.
std::vector<Point> linePixels(double x1, double y1, double x2, double y2);

}  // namespace torvin::scene
