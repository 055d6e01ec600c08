#include "scene/scaler.h"

#include <algorithm>
#include <cmath>

namespace torvin::scene {

Scaler::Scaler(int width, int height)
    : width_(std::max(width, 1)), height_(std::max(height, 1)), factor_(0) {
  if (width_ % kWidth == 0 && height_ % kHeight == 0 && width_ / kWidth == height_ / kHeight) {
    factor_ = width_ / kWidth;
  } else {
    columns_ = taps(width_, kWidth);
    rows_ = taps(height_, kHeight);
  }
}

std::vector<Scaler::Tap> Scaler::taps(int target, int scene) {
  std::vector<Tap> taps(static_cast<std::size_t>(target));
  const double step = static_cast<double>(scene) / target;
  for (int i = 0; i < target; ++i) {
    // The centre of target pixel i, in scene pixels, measured from the centre
    // of scene pixel 0.
    const double at = std::clamp((i + 0.5) * step - 0.5, 0.0, scene - 1.0);
    const int first = static_cast<int>(at);
    const auto weight = static_cast<std::uint32_t>(std::lround((at - first) * 256));
    taps[static_cast<std::size_t>(i)] = {first, std::min(first + 1, scene - 1), weight};
  }
  return taps;
}

int Scaler::firstCovering(const std::vector<Tap>& taps, int scene) {
  const auto found = std::partition_point(taps.begin(), taps.end(),
                                          [scene](const Tap& tap) { return tap.second < scene; });
  return static_cast<int>(found - taps.begin());
}

int Scaler::lastCovering(const std::vector<Tap>& taps, int scene) {
  const auto found = std::partition_point(taps.begin(), taps.end(),
                                          [scene](const Tap& tap) { return tap.first <= scene; });
  return static_cast<int>(found - taps.begin());
}

Rect Scaler::cover(const Rect& scene) const {
  const Rect part = scene.intersected(kWhole);
  if (part.empty()) {
    return {};
  }
  if (factor_ > 0) {
    return {part.left * factor_, part.top * factor_, part.width * factor_, part.height * factor_};
  }
  const int left = firstCovering(columns_, part.left);
  const int right = lastCovering(columns_, part.right() - 1);
  const int top = firstCovering(rows_, part.top);
  const int bottom = lastCovering(rows_, part.bottom() - 1);
  return Rect{left, top, right - left, bottom - top};
}

namespace {

// Blends two pixels, `weight` / 256 of the second: red and blue together in one
// word, green in another.
std::uint32_t blend(std::uint32_t a, std::uint32_t b, std::uint32_t weight) {
  const std::uint32_t keep = 256 - weight;
  const std::uint32_t redBlue = ((a & 0xFF00FFU) * keep + (b & 0xFF00FFU) * weight) >> 8;
  const std::uint32_t green = ((a & 0x00FF00U) * keep + (b & 0x00FF00U) * weight) >> 8;
  return 0xFF000000U | (redBlue & 0xFF00FFU) | (green & 0x00FF00U);
}

// Target columns `from` to `to` of one row, each scene pixel `factor` times
// over (`Factor` when it is known beforehand, which lets the compiler unroll).
template <int Factor>
void repeat(const std::uint32_t* source, int from, int to, std::uint32_t* out,
            int factor = Factor) {
  const int f = Factor > 0 ? Factor : factor;
  int x = from;
  // A scene pixel cut by the left edge, then whole ones, then one cut by the right.
  for (; x < to && x % f != 0; ++x) {
    *out++ = source[x / f];
  }
  const int whole = to / f;
  for (int column = x / f; column < whole; ++column) {
    const std::uint32_t pixel = source[column];
    for (int i = 0; i < f; ++i) {
      out[i] = pixel;
    }
    out += f;
  }
  for (x = std::max(x, whole * f); x < to; ++x) {
    *out++ = source[x / f];
  }
}

}  // namespace

void Scaler::scale(const Frame& frame, const Rect& area, std::uint32_t* out, int stride) const {
  const Rect part = area.intersected({0, 0, width_, height_});
  if (part.empty()) {
    return;
  }
  std::uint32_t* line = out + (part.top - area.top) * stride + (part.left - area.left);
  if (factor_ > 0) {
    for (int y = part.top; y < part.bottom(); ++y, line += stride) {
      if (y > part.top && y / factor_ == (y - 1) / factor_) {
        std::copy_n(line - stride, part.width, line);  // the same scene row again
        continue;
      }
      const std::uint32_t* source = frame.row(y / factor_);
      switch (factor_) {
        case 2:
          repeat<2>(source, part.left, part.right(), line);
          break;
        case 3:
          repeat<3>(source, part.left, part.right(), line);
          break;
        default:
          repeat<0>(source, part.left, part.right(), line, factor_);
          break;
      }
    }
    return;
  }
  for (int y = part.top; y < part.bottom(); ++y, line += stride) {
    const Tap& row = rows_[static_cast<std::size_t>(y)];
    const std::uint32_t* upper = frame.row(row.first);
    const std::uint32_t* lower = frame.row(row.second);
    for (int x = part.left; x < part.right(); ++x) {
      const Tap& column = columns_[static_cast<std::size_t>(x)];
      const std::uint32_t top = blend(upper[column.first], upper[column.second], column.weight);
      const std::uint32_t bottom = blend(lower[column.first], lower[column.second], column.weight);
      line[x - part.left] = blend(top, bottom, row.weight);
    }
  }
}

}  // namespace torvin::scene
