// The parts of the scene to draw again, as rectangles that never overlap, so
// that no pixel is drawn or sent twice. Rectangles are held exactly as added
// (one added over those held is cut into the pieces they leave uncovered);
// when they are asked for, those whose bounding rectangle they nearly fill
// become that one, so that a frame keeps to a few rectangles.
#pragma once

#include <vector>

#include "scene/frame.h"

namespace torvin::scene {

class Damage {
 public:
  // Adds the scene's part of `rect`.
  void add(const Rect& rect);
  void clear();
  bool empty() const { return exact_.empty(); }
  // The rectangles to draw: they hold every pixel added and do not overlap.
  const std::vector<Rect>& rects();

 private:
  std::vector<Rect> exact_;   // the pixels added, in rectangles that do not overlap
  std::vector<Rect> merged_;  // the same, merged where that wastes little
  bool settled_ = true;
  // Kept for their storage.
  std::vector<Rect> pending_;
  std::vector<long long> added_;
  std::vector<std::size_t> taken_;
};

}  // namespace torvin::scene
