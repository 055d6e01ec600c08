// Reads a picture file whole, refusing anything that is not a plain file of a
// sane size. Never blocks: a named pipe or a device is refused, not read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace torvin::picture {

// The bytes of the regular file at `path` (links followed). Throws Failure
// (decoding.h) when it is missing, not a regular file, not readable or larger
// than `maxBytes`.
std::vector<std::uint8_t> readPictureFile(const std::string& path, std::uint64_t maxBytes);

}  // namespace torvin::picture
