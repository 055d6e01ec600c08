// The scene shown at another size: at a whole factor every scene pixel becomes
// a square of that many pixels, at any other factor the scene is smoothed
// (each pixel blended from the four scene pixels around its centre). Every
// pixel of the target is worked out from the frame alone, so a host that
// scales only the rectangles that changed gets, pixel for pixel, what scaling
// the whole frame would give: no seam where they meet.
#pragma once

#include <cstdint>
#include <vector>

#include "scene/frame.h"

namespace torvin::scene {

class Scaler {
 public:
  // The scene stretched over a target of `width` x `height` pixels.
  Scaler(int width, int height);

  int width() const { return width_; }
  int height() const { return height_; }
  // The factor when it is whole for both directions, else 0.
  int factor() const { return factor_; }

  // The target pixels that show any pixel of `scene` (a rectangle of the scene).
  Rect cover(const Rect& scene) const;
  // Writes the target's pixels of `area` (a rectangle of the target) to `out`,
  // rows `stride` pixels apart, in the frame's format.
  void scale(const Frame& frame, const Rect& area, std::uint32_t* out, int stride) const;

 private:
  // For each target column (or row): the scene column below its centre, the
  // one after it, and how much of that one is blended in (0 to 256).
  struct Tap {
    int first = 0;
    int second = 0;
    std::uint32_t weight = 0;
  };
  static std::vector<Tap> taps(int target, int scene);
  static int firstCovering(const std::vector<Tap>& taps, int scene);
  static int lastCovering(const std::vector<Tap>& taps, int scene);

  int width_;
  int height_;
  int factor_;
  std::vector<Tap> columns_;
  std::vector<Tap> rows_;
};

}  // namespace torvin::scene
