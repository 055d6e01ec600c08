#include "desktop/picture_store.h"

#include <QImage>
#include <cstdlib>
#include <cstring>

namespace torvin::desktop {

namespace {

// The sky behind the rider in every pose picture.
constexpr QRgb kSky = qRgb(150, 213, 255);
// How far a pixel may stray from the sky colour and still count as sky: JPEG
// leaves a faint fringe of near-sky pixels round the drawing.
constexpr int kSkyTolerance = 24;

bool nearSky(QRgb pixel) {
  return std::abs(qRed(pixel) - qRed(kSky)) <= kSkyTolerance &&
         std::abs(qGreen(pixel) - qGreen(kSky)) <= kSkyTolerance &&
         std::abs(qBlue(pixel) - qBlue(kSky)) <= kSkyTolerance;
}

// A pose picture is drawn without its sky-coloured box, so that the ramp, the
// ground and the far hills behind the rider stay in view.
void clearSky(std::vector<std::uint32_t>& pixels) {
  for (std::uint32_t& pixel : pixels) {
    if (nearSky(pixel)) {
      pixel = 0;  // transparent
    }
  }
}

bool isPose(const std::string& path) {
  return path.size() >= 4 && path.compare(path.size() - 4, 4, ".jpg") == 0;
}

// The decoder's pixels (0xAARRGGBB, alpha 0 or 255) as Qt's fastest format to
// draw, which they already are.
QImage toImage(const picture::Image& decoded) {
  QImage image(decoded.width, decoded.height, QImage::Format_ARGB32_Premultiplied);
  const auto rowBytes = static_cast<std::size_t>(decoded.width) * sizeof(std::uint32_t);
  for (int y = 0; y < decoded.height; ++y) {
    std::memcpy(image.scanLine(y),
                decoded.pixels.data() +
                    static_cast<std::size_t>(y) * static_cast<std::size_t>(decoded.width),
                rowBytes);
  }
  return image;
}

}  // namespace

DecodedPicture PictureStore::load(const std::string& path) {
  if (const auto kept = byPath_.find(path); kept != byPath_.end()) {
    return kept->second;
  }
  // The path goes to the decoder as the bytes the system gave, whatever their
  // encoding.
  picture::Image decoded = decoder_.decode(path);
  if (isPose(path)) {
    clearSky(decoded.pixels);
  }
  QImage image = toImage(decoded);
  decoded = {};  // one copy of the pixels at a time
  const DecodedPicture picture{image.width(), image.height(), static_cast<int>(pixmaps_.size())};
  pixmaps_.push_back(QPixmap::fromImage(std::move(image)));
  byPath_.emplace(path, picture);
  return picture;
}

const QPixmap& PictureStore::pixmap(int handle) const {
  if (handle < 0 || static_cast<std::size_t>(handle) >= pixmaps_.size()) {
    return none_;
  }
  return pixmaps_[static_cast<std::size_t>(handle)];
}

}  // namespace torvin::desktop
