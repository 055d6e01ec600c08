#include "gif_writer.h"

#include <gif_lib.h>

#include <array>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace torvin::art {
namespace {

constexpr int kPaletteSize = 256;

struct Palette {
  std::array<GifColorType, kPaletteSize> colours{};
  std::vector<GifByteType> indices;  // one per opaque pixel, in order
};

// Up to `limit` colours for the opaque pixels: exact when they fit, otherwise
// giflib's median cut.
Palette choosePalette(const std::vector<QRgb>& opaque, int limit) {
  Palette palette;
  std::map<QRgb, GifByteType> exact;
  for (QRgb c : opaque) {
    if (exact.size() > static_cast<std::size_t>(limit))
      break;
    exact.emplace(c, 0);
  }
  if (exact.size() <= static_cast<std::size_t>(limit)) {
    GifByteType next = 0;
    for (auto& [colour, index] : exact) {
      index = next;
      palette.colours[next] = {static_cast<GifByteType>(qRed(colour)),
                               static_cast<GifByteType>(qGreen(colour)),
                               static_cast<GifByteType>(qBlue(colour))};
      ++next;
    }
    for (QRgb c : opaque)
      palette.indices.push_back(exact[c]);
    return palette;
  }
  std::vector<GifByteType> red, green, blue;
  for (QRgb c : opaque) {
    red.push_back(static_cast<GifByteType>(qRed(c)));
    green.push_back(static_cast<GifByteType>(qGreen(c)));
    blue.push_back(static_cast<GifByteType>(qBlue(c)));
  }
  palette.indices.resize(opaque.size());
  int size = limit;
  if (GifQuantizeBuffer(static_cast<unsigned>(opaque.size()), 1, &size, red.data(), green.data(),
                        blue.data(), palette.indices.data(), palette.colours.data()) != GIF_OK) {
    throw std::runtime_error("giflib could not reduce the colours");
  }
  return palette;
}

void check(int result, GifFileType* gif, const QString& path) {
  if (result == GIF_OK)
    return;
  const int code = gif != nullptr ? gif->Error : 0;
  const char* why = GifErrorString(code);
  throw std::runtime_error("cannot write " + path.toStdString() + ": " + (why ? why : "?"));
}

}  // namespace

void writeGif(const QImage& picture, const QString& path, const QColor& matte) {
  const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
  const int width = image.width();
  const int height = image.height();

  std::vector<QRgb> opaque;
  std::vector<bool> shown(static_cast<std::size_t>(width * height));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const QRgb p = image.pixel(x, y);
      const int a = qAlpha(p);
      if (a < 128)
        continue;
      auto blend = [a](int over, int under) { return (over * a + under * (255 - a) + 127) / 255; };
      opaque.push_back(qRgb(blend(qRed(p), matte.red()), blend(qGreen(p), matte.green()),
                            blend(qBlue(p), matte.blue())));
      shown[static_cast<std::size_t>(y * width + x)] = true;
    }
  }
  const bool transparent = opaque.size() < shown.size();
  // With transparency, index 0 is the see-through colour and the picture gets 255.
  const int first = transparent ? 1 : 0;
  Palette palette = choosePalette(opaque, kPaletteSize - first);

  std::array<GifColorType, kPaletteSize> colours{};
  colours[0] = {static_cast<GifByteType>(matte.red()), static_cast<GifByteType>(matte.green()),
                static_cast<GifByteType>(matte.blue())};
  for (int i = first; i < kPaletteSize; ++i)
    colours[static_cast<std::size_t>(i)] = palette.colours[static_cast<std::size_t>(i - first)];

  int error = 0;
  GifFileType* gif = EGifOpenFileName(path.toLocal8Bit().constData(), false, &error);
  if (gif == nullptr) {
    const char* why = GifErrorString(error);  // null for a code giflib has no words for
    throw std::runtime_error("cannot create " + path.toStdString() + ": " + (why ? why : "?"));
  }
  ColorMapObject* map = GifMakeMapObject(kPaletteSize, colours.data());
  try {
    EGifSetGifVersion(gif, true);
    check(EGifPutScreenDesc(gif, width, height, 8, 0, map), gif, path);
    if (transparent) {
      GraphicsControlBlock control{DISPOSAL_UNSPECIFIED, false, 0, 0};
      GifByteType extension[4];
      const auto size = EGifGCBToExtension(&control, extension);
      check(EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, static_cast<int>(size), extension), gif,
            path);
    }
    check(EGifPutImageDesc(gif, 0, 0, width, height, false, nullptr), gif, path);
    std::vector<GifByteType> row(static_cast<std::size_t>(width));
    std::size_t next = 0;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const bool on = shown[static_cast<std::size_t>(y * width + x)];
        row[static_cast<std::size_t>(x)] =
            on ? static_cast<GifByteType>(palette.indices[next++] + first) : 0;
      }
      check(EGifPutLine(gif, row.data(), width), gif, path);
    }
  } catch (...) {
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    throw;
  }
  GifFreeMapObject(map);
  if (EGifCloseFile(gif, &error) != GIF_OK) {
    const char* why = GifErrorString(error);
    throw std::runtime_error("cannot finish " + path.toStdString() + ": " + (why ? why : "?"));
  }
}

}  // namespace torvin::art
