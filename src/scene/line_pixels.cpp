#include "scene/line_pixels.h"

#include <cmath>
#include <cstdint>
#include <utility>

#include "scene/frame.h"

namespace torvin::scene {

namespace {

// A line is cut to one pixel beyond the scene on every side before it is
// stepped; where it is cut decides which pixels a slanted line takes.
constexpr double kLeftCut = -1;
constexpr double kRightCut = kWidth + 1;
constexpr double kTopCut = -1;
constexpr double kBottomCut = kHeight + 1;

constexpr int kCapBegin = 1;
constexpr int kCapEnd = 2;

using Fixed16 = std::int64_t;  // 16.16 fixed point

int toFixed6(double value) {
  return static_cast<int>(value * 64.);  // 26.6 fixed point, cut toward zero
}

Fixed16 fixedDivide(int numerator, int denominator) {
  return Fixed16{numerator} * (1 << 16) / denominator;
}

int roundHalfAway(double value) {
  return static_cast<int>(value + std::copysign(0.5, value));
}

int swapCaps(int caps) {
  return ((caps & kCapBegin) << 1) | ((caps & kCapEnd) >> 1);
}

// The square ends: half a pixel more at each end.
void extendEnds(int caps, int& from, int& to, Fixed16& across, Fixed16 step) {
  if ((caps & kCapBegin) != 0) {
    from -= 32;
    across -= step >> 1;
  }
  if ((caps & kCapEnd) != 0) {
    to += 32;
  }
}

// Cuts the line where it leaves the band from `low` to `high` along one axis
// (`a`, the other being `b`): the start first, then the end. False when the
// line lies wholly beyond one side.
bool cutAlong(double& a1, double& b1, double& a2, double& b2, double low, double high) {
  if (a1 < low) {
    if (a2 <= low) {
      return false;
    }
    b1 += (b2 - b1) / (a2 - a1) * (low - a1);
    a1 = low;
  } else if (a1 > high) {
    if (a2 >= high) {
      return false;
    }
    b1 += (b2 - b1) / (a2 - a1) * (high - a1);
    a1 = high;
  }
  if (a2 < low) {
    b2 += (b2 - b1) / (a2 - a1) * (low - a2);
    a2 = low;
  } else if (a2 > high) {
    b2 += (b2 - b1) / (a2 - a1) * (high - a2);
    a2 = high;
  }
  return true;
}

// Cuts the line to the band just outside the scene, across and then down;
// false when nothing of it is left.
bool cut(double& x1, double& y1, double& x2, double& y2) {
  if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) {
    return false;
  }
  if (!cutAlong(x1, y1, x2, y2, kLeftCut, kRightCut) ||
      !cutAlong(y1, x1, y2, x2, kTopCut, kBottomCut)) {
    return false;
  }
  // What is left lies in the band (a line that only grazes it may leave its ends
  // a little outside); anything else is not a line to step.
  constexpr double kFar = 4096;
  return std::abs(x1) < kFar && std::abs(x2) < kFar && std::abs(y1) < kFar && std::abs(y2) < kFar;
}

class Plotter {
 public:
  explicit Plotter(std::vector<Point>& out) : out_(out) {}
  void operator()(int x, int y) const {
    if (x >= 0 && x < kWidth && y >= 0 && y < kHeight) {
      out_.push_back({x, y});
    }
  }

 private:
  std::vector<Point>& out_;
};

}  // namespace

std::vector<Point> linePixels(double x1, double y1, double x2, double y2) {
  std::vector<Point> pixels;
  const Plotter plot(pixels);
  if (x1 == x2 && y1 == y2) {
    plot(roundHalfAway(x1), roundHalfAway(y1));  // a point
    return pixels;
  }
  if (!cut(x1, y1, x2, y2)) {
    return pixels;
  }
  int fx1 = toFixed6(x1);
  int fy1 = toFixed6(y1);
  int fx2 = toFixed6(x2);
  int fy2 = toFixed6(y2);
  const int dx = std::abs(fx2 - fx1);
  const int dy = std::abs(fy2 - fy1);
  int caps = kCapBegin | kCapEnd;

  if (dx < dy) {
    // Steep: one pixel per row, from the top.
    if (fy1 > fy2) {
      std::swap(fy1, fy2);
      std::swap(fx1, fx2);
      caps = swapCaps(caps);
    }
    const Fixed16 step = fixedDivide(fx2 - fx1, fy2 - fy1);
    Fixed16 x = Fixed16{fx1} * (1 << 10);
    extendEnds(caps, fy1, fy2, x, step);
    int y = (fy1 + 32) >> 6;
    const int end = (fy2 + 32) >> 6;
    const int round = step > 0 ? 32 : 0;
    if (y != end) {
      x += ((y * (1 << 6)) + round - fy1) * step >> 6;
      do {
        plot(static_cast<int>(x >> 16), y);
        x += step;
      } while (++y < end);
    }
    return pixels;
  }

  // Flat: one pixel per column, from the left.
  if (dx == 0) {
    return pixels;
  }
  if (fx1 > fx2) {
    std::swap(fx1, fx2);
    std::swap(fy1, fy2);
    caps = swapCaps(caps);
  }
  const Fixed16 step = fixedDivide(fy2 - fy1, fx2 - fx1);
  Fixed16 y = Fixed16{fy1} * (1 << 10);
  extendEnds(caps, fx1, fx2, y, step);
  int x = (fx1 + 32) >> 6;
  const int end = (fx2 + 32) >> 6;
  const int round = step > 0 ? 32 : 0;
  if (x != end) {
    y += ((x * (1 << 6)) + round - fx1) * step >> 6;
    do {
      plot(x, static_cast<int>(y >> 16));
      y += step;
    } while (++x < end);
  }
  return pixels;
}

}  // namespace torvin::scene
