// The scene as every host shows it: 531 x 343 pixels in a plain buffer, and the
// rectangles of whole pixels in which one frame differs from the one before.
#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "platform/colour.h"
#include "shell/form1.h"

namespace torvin::scene {

inline constexpr int kWidth = kClientWidth;
inline constexpr int kHeight = kClientHeight;

// A rectangle of whole pixels: the columns left to right() - 1 and the rows top
// to bottom() - 1. One with no width or height holds no pixel.
struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;

  int right() const { return left + width; }
  int bottom() const { return top + height; }
  bool empty() const { return width <= 0 || height <= 0; }
  long long area() const { return empty() ? 0 : static_cast<long long>(width) * height; }

  bool contains(const Rect& other) const {
    return !other.empty() && other.left >= left && other.top >= top && other.right() <= right() &&
           other.bottom() <= bottom();
  }
  bool intersects(const Rect& other) const { return !intersected(other).empty(); }
  // The pixels both hold (an empty rectangle when they do not meet).
  Rect intersected(const Rect& other) const {
    const int l = std::max(left, other.left);
    const int t = std::max(top, other.top);
    const int r = std::min(right(), other.right());
    const int b = std::min(bottom(), other.bottom());
    return r > l && b > t ? Rect{l, t, r - l, b - t} : Rect{};
  }
  // The smallest rectangle that holds both.
  Rect united(const Rect& other) const {
    if (empty()) {
      return other;
    }
    if (other.empty()) {
      return *this;
    }
    const int l = std::min(left, other.left);
    const int t = std::min(top, other.top);
    return Rect{l, t, std::max(right(), other.right()) - l, std::max(bottom(), other.bottom()) - t};
  }

  friend bool operator==(const Rect&, const Rect&) = default;
};

inline constexpr Rect kWhole{0, 0, kWidth, kHeight};

// The scene's pixels. Rows follow one another from the top, kWidth pixels each
// and nothing between them. A pixel is a 32-bit word 0xFFRRGGBB (alpha always
// 255) in the machine's byte order: on a little-endian machine its bytes are
// blue, green, red, 255, which Qt calls Format_RGB32.
class Frame {
 public:
  static constexpr int kStride = kWidth;  // pixels from one row to the next

  Frame() : pixels_(static_cast<std::size_t>(kWidth) * kHeight, 0xFF000000U) {}

  std::uint32_t* row(int y) { return pixels_.data() + static_cast<std::size_t>(y) * kStride; }
  const std::uint32_t* row(int y) const {
    return pixels_.data() + static_cast<std::size_t>(y) * kStride;
  }
  std::uint32_t pixel(int x, int y) const { return row(y)[x]; }
  const std::uint32_t* data() const { return pixels_.data(); }

  friend bool operator==(const Frame&, const Frame&) = default;

 private:
  std::vector<std::uint32_t> pixels_;
};

// A colour as a pixel of the frame.
constexpr std::uint32_t pixelOf(const Colour& colour) {
  return 0xFF000000U | (std::uint32_t{colour.red} << 16) | (std::uint32_t{colour.green} << 8) |
         std::uint32_t{colour.blue};
}

}  // namespace torvin::scene
