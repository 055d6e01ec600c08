// Picture files made by the tests themselves: good JPEGs through libjpeg, and
// GIFs put together byte by byte, so that any part of them can be broken.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace torvin::testing {

using Bytes = std::vector<std::uint8_t>;

// How a colour JPEG marks that it stores R, G and B rather than the usual
// luma and chroma: libjpeg writes both marks; other writers one of them.
enum class RgbMark { Both, AdobeOnly, IdsOnly };

struct JpegPlan {
  int width = 16;
  int height = 16;
  int components = 3;  // 1 grey, 3 colour, 4 CMYK
  std::uint32_t rgb = 0x3366CC;
  bool progressive = false;  // libjpeg's usual ten scans
  int scans = 0;             // > 0: a grey progressive JPEG of this many scans (64 to 128)
  bool storedAsRgb = false;  // colour stored as R, G, B (an Adobe marker, ids 'R' 'G' 'B')
  RgbMark rgbMark = RgbMark::Both;

  JpegPlan& sized(int w, int h) {
    width = w;
    height = h;
    return *this;
  }
  JpegPlan& inComponents(int count) {
    components = count;
    return *this;
  }
  JpegPlan& inScans(int count) {
    scans = count;
    return *this;
  }
  JpegPlan& inSteps() {
    progressive = true;
    return *this;
  }
  JpegPlan& asRgb(RgbMark mark = RgbMark::Both) {
    storedAsRgb = true;
    rgbMark = mark;
    return *this;
  }
};
Bytes makeJpeg(const JpegPlan& plan);

// Where the scan data of a baseline JPEG lies: after the SOS header, up to EOI.
struct ScanData {
  std::size_t begin = 0;
  std::size_t end = 0;
};
ScanData findScanData(const Bytes& jpeg);
// The offset of the first SOFn marker's height field (width follows it).
std::size_t findFrameSize(const Bytes& jpeg);

struct GifImage {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> indices;  // width * height colour indices, row after row
  bool interlaced = false;
  int transparent = -1;  // a graphic control block naming it, when >= 0
};

struct GifPlan {
  int width = 8;
  int height = 6;
  // The global colour table, of `tableSize` entries (2, 4, ... 256; those
  // beyond `colours` are black).
  std::vector<std::uint32_t> colours = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
  std::vector<GifImage> images;
  int tableSize = 256;
};
// A GIF of a screen of this size, with the usual colours and no images yet.
GifPlan gifScreen(int width, int height);
// A GIF with the given images, or one image covering the screen in colours
// 0 to 3 when there are none.
Bytes makeGif(GifPlan plan);

// The colour index at (x, y) of the image makeGif() makes when given none.
std::uint8_t patternIndex(int x, int y);

}  // namespace torvin::testing
