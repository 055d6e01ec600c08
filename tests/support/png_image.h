// Pictures of the scene kept as PNG files, through libpng: read back as
// 0xFFRRGGBB pixels row after row, and written from them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace torvin::testing {

struct PngImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
};

// Throws std::runtime_error when the file cannot be read as a PNG.
PngImage readPng(const std::string& path);
// Rows `stride` pixels apart. Throws std::runtime_error when it cannot be written.
void writePng(const std::string& path, int width, int height, const std::uint32_t* pixels,
              int stride);

}  // namespace torvin::testing
