// The three bikes, in the order they are won: what brings each one, the speed
// of the trick timers and of the hop on it, and how long a manual lasts.
#pragma once

#include <array>
#include <string_view>

#include "platform/integer.h"

namespace torvin {

struct Bike {
  const char* id;  // the bikeId, and the folder of the bike's pose pictures
  int threshold;   // the totalScore that brings it; the first bike is there from the load
  // Intervals of Timer1, Timer3, Timer5, Timer7 and Timer8, set in this order.
  std::array<int, 5> intervals;
  Integer manualLength;  // ground ticks of the manual timer per key press
};

inline constexpr std::array<Bike, 3> kBikes = {{
    {"01", 0, {200, 200, 180, 70, 170}, 10},
    {"02", 600, {210, 190, 173, 67, 165}, 14},
    {"03", 1300, {220, 182, 167, 65, 162}, 19},
}};

// The bike named exactly `id`, or nullptr.
constexpr const Bike* findBike(std::string_view id) {
  for (const Bike& bike : kBikes) {
    if (id == bike.id) {
      return &bike;
    }
  }
  return nullptr;
}

}  // namespace torvin
