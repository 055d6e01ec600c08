#include "scene/picture_store.h"

#include <cstdlib>

namespace torvin::scene {

namespace {

// The sky behind the rider in every pose picture.
constexpr std::uint32_t kSky = 0xFF96D5FFU;  // red 150, green 213, blue 255
// How far a pixel may stray from the sky colour and still count as sky: JPEG
// leaves a faint fringe of near-sky pixels round the drawing.
constexpr int kSkyTolerance = 24;

int channel(std::uint32_t pixel, int shift) {
  return static_cast<int>((pixel >> shift) & 0xFFU);
}

bool nearSky(std::uint32_t pixel) {
  for (const int shift : {16, 8, 0}) {
    if (std::abs(channel(pixel, shift) - channel(kSky, shift)) > kSkyTolerance) {
      return false;
    }
  }
  return true;
}

bool isPose(const std::string& path) {
  return path.size() >= 4 && path.compare(path.size() - 4, 4, ".jpg") == 0;
}

bool drawn(std::uint32_t pixel) {
  return (pixel >> 24) != 0;
}

std::unique_ptr<const Sprite> makeSprite(picture::Image& image) {
  auto sprite = std::make_unique<Sprite>();
  sprite->width = image.width;
  sprite->height = image.height;
  sprite->pixels = std::move(image.pixels);
  sprite->rowRuns.reserve(static_cast<std::size_t>(image.height) + 1);
  for (int y = 0; y < sprite->height; ++y) {
    sprite->rowRuns.push_back(sprite->runs.size());
    const std::uint32_t* row = sprite->row(y);
    for (int x = 0; x < sprite->width;) {
      if (!drawn(row[x])) {
        ++x;
        continue;
      }
      const int begin = x;
      while (x < sprite->width && drawn(row[x])) {
        ++x;
      }
      sprite->runs.push_back({begin, x});
    }
  }
  sprite->rowRuns.push_back(sprite->runs.size());
  return sprite;
}

}  // namespace

DecodedPicture PictureStore::load(const std::string& path) {
  if (const auto kept = byPath_.find(path); kept != byPath_.end()) {
    return kept->second;
  }
  // The path goes to the decoder as the bytes the system gave, whatever their
  // encoding.
  return keep(path, decoder_.decode(path, pixels_));
}

DecodedPicture PictureStore::keep(const std::string& path, picture::Image image) {
  if (const auto kept = byPath_.find(path); kept != byPath_.end()) {
    return kept->second;
  }
  const DecodedPicture picture{image.width, image.height, static_cast<int>(sprites_.size())};
  if (image.pixels.empty()) {
    sprites_.push_back(nullptr);
  } else {
    // A pose picture is drawn without its sky-coloured box, so that the ramp,
    // the ground and the far hills behind the rider stay in view.
    if (isPose(path)) {
      for (std::uint32_t& pixel : image.pixels) {
        if (nearSky(pixel)) {
          pixel = 0;
        }
      }
    }
    sprites_.push_back(makeSprite(image));
  }
  byPath_.emplace(path, picture);
  return picture;
}

const Sprite* PictureStore::sprite(int handle) const {
  if (handle < 0 || static_cast<std::size_t>(handle) >= sprites_.size()) {
    return nullptr;
  }
  return sprites_[static_cast<std::size_t>(handle)].get();
}

}  // namespace torvin::scene
