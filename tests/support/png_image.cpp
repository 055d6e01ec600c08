#include "support/png_image.h"

#include <png.h>

#include <bit>
#include <stdexcept>

namespace torvin::testing {

// In memory a pixel 0xAARRGGBB of a little-endian machine is blue, green, red,
// alpha: libpng's BGRA.
static_assert(std::endian::native == std::endian::little);

PngImage readPng(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
    throw std::runtime_error(path + ": " + image.message);
  }
  image.format = PNG_FORMAT_BGRA;
  PngImage read;
  read.width = static_cast<int>(image.width);
  read.height = static_cast<int>(image.height);
  read.pixels.resize(static_cast<std::size_t>(image.width) * image.height);
  if (png_image_finish_read(&image, nullptr, read.pixels.data(), 0, nullptr) == 0) {
    throw std::runtime_error(path + ": " + image.message);
  }
  for (std::uint32_t& pixel : read.pixels) {
    pixel |= 0xFF000000U;
  }
  return read;
}

void writePng(const std::string& path, int width, int height, const std::uint32_t* pixels,
              int stride) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  image.width = static_cast<png_uint_32>(width);
  image.height = static_cast<png_uint_32>(height);
  image.format = PNG_FORMAT_BGRA;
  if (png_image_write_to_file(&image, path.c_str(), 0, pixels,
                              stride * static_cast<int>(sizeof(std::uint32_t)), nullptr) == 0) {
    throw std::runtime_error(path + ": " + image.message);
  }
}

}  // namespace torvin::testing
