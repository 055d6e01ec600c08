// Decodes a JPEG file's bytes with libjpeg, strictly: any warning (a file cut
// short, corrupt data, extra bytes) refuses the picture.
#pragma once

#include <cstdint>
#include <span>

#include "picture/decoding.h"

namespace torvin::picture {

// Throws Failure when the picture is refused. `checkSize` sees the size from
// the header before any pixel memory is taken.
Image readJpeg(std::span<const std::uint8_t> bytes, const Limits& limits, Pixels pixels,
               const SizeCheck& checkSize);

}  // namespace torvin::picture
