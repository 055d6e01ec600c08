// The parts of the scene to draw again, held as rectangles that never overlap,
// so that no pixel is drawn or sent twice. A rectangle added over those held is
// cut into the pieces they leave uncovered; two rectangles whose bounding
// rectangle they nearly fill become that one, so that a frame keeps to a few
// rectangles.
#pragma once

#include <vector>

#include "scene/frame.h"

namespace torvin::scene {

class Damage {
 public:
  // Adds the scene's part of `rect`.
  void add(const Rect& rect);
  void clear() { rects_.clear(); }
  bool empty() const { return rects_.empty(); }
  const std::vector<Rect>& rects() const { return rects_; }

 private:
  std::vector<Rect> rects_;
};

}  // namespace torvin::scene
