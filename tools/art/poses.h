// The pose of every rider picture and the three bikes.
#pragma once

#include <span>
#include <string_view>

#include "figure.h"

namespace torvin::art {

std::span<const Pose> poses();
const Pose& pose(std::string_view file);
std::span<const BikeStyle> bikes();

}  // namespace torvin::art
