// Decodes a GIF file's bytes with giflib, strictly: every record is walked and
// every image's data decoded to its end; the first image is the picture.
#pragma once

#include <cstdint>
#include <span>

#include "picture/decoding.h"

namespace torvin::picture {

// Throws Failure when the picture is refused. `checkSize` sees the logical
// screen's size before any pixel memory is taken; each image's size is checked
// before its data is read.
Image readGif(std::span<const std::uint8_t> bytes, const Limits& limits, Pixels pixels,
              const SizeCheck& checkSize);

}  // namespace torvin::picture
