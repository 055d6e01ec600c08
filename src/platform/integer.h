// The game's whole numbers are 16-bit signed. Arithmetic on them saturates at
// the ends of the range instead of wrapping round.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

namespace torvin {

using Integer = std::int16_t;

inline constexpr int kIntegerMin = std::numeric_limits<Integer>::min();
inline constexpr int kIntegerMax = std::numeric_limits<Integer>::max();

// Clamps a wider whole number into the 16-bit range.
constexpr Integer clampInteger(long long value) {
  return static_cast<Integer>(std::clamp<long long>(value, kIntegerMin, kIntegerMax));
}

// a + b, held at -32768 and 32767.
constexpr Integer addInteger(Integer a, int b) {
  return clampInteger(static_cast<long long>(a) + b);
}

// Rounds to the nearest whole number, a half going to the even neighbour, and
// holds the result in the 16-bit range.
inline Integer roundToInteger(double value) {
  if (std::isnan(value)) {
    return 0;
  }
  const double clamped =
      std::clamp(value, static_cast<double>(kIntegerMin), static_cast<double>(kIntegerMax));
  return static_cast<Integer>(std::nearbyint(clamped));  // default mode: to nearest, ties to even
}

}  // namespace torvin
