// The ground tile, the clouds, the ramp and the far hills.
#pragma once

#include <QImage>
#include <string_view>

namespace torvin::art {

// Draws the scenery picture `file` ("bg001.gif" ...) at its catalogue size, with a
// transparent background where the sky shows through.
QImage drawScenery(std::string_view file);

}  // namespace torvin::art
