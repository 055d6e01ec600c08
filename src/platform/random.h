// The game's pseudo-random numbers: 0 <= r < 1, never seeded, so the sequence is
// the same in every run of the program and on every machine. A 24-bit linear
// congruential generator with a fixed start state; no standard-library
// distribution is involved.
#pragma once

#include <cstdint>

namespace torvin {

class Random {
 public:
  // The next number of the sequence, 0 <= r < 1 (a multiple of 2^-24).
  float next() {
    state_ = (state_ * kMultiplier + kIncrement) & kMask;
    return static_cast<float>(state_) / 16777216.0F;
  }

  friend bool operator==(const Random&, const Random&) = default;

 private:
  static constexpr std::uint32_t kMultiplier = 0x43FD43FDU;
  static constexpr std::uint32_t kIncrement = 0xC39EC3U;
  static constexpr std::uint32_t kMask = 0xFFFFFFU;
  std::uint32_t state_ = 0x50000U;
};

}  // namespace torvin
