// What the picture decoder and its format readers share: the limits a game
// picture must keep, the decoded image, and how a refusal is told.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace torvin::picture {

// The fixed limits of a game picture. Both programs use the same values, so
// that they accept and refuse exactly the same files.
struct Limits {
  int maxSide = 4096;                        // pixels, width and height alike
  std::uint64_t maxFileBytes = 16ULL << 20;  // the file itself
  std::uint64_t budgetBytes = 256ULL << 20;  // all decoded pictures kept together
  int maxJpegScans = 100;                    // a progressive JPEG has about ten
  int maxGifImages = 1024;                   // images in one GIF file
  // Pixels of all the images of one GIF together (a few tiny frames can hold
  // billions of them, which would take minutes to decode).
  std::uint64_t maxGifPixels = 4ULL * 4096 * 4096;
  // What libjpeg may take besides the pixels. A progressive JPEG keeps all its
  // coefficients, 2 bytes a sample: a 4096 x 4096 picture in the usual 4:2:0
  // colours takes 50 MB, in 4:2:2 67 MB, in 4:4:4 100 MB (refused).
  std::uint64_t maxJpegWorkingBytes = 80ULL << 20;
};

// What a kept picture costs: four bytes a pixel, in both programs alike.
inline constexpr std::uint64_t kBytesPerPixel = 4;

// Why a picture is refused, in the words the player reads.
enum class Reason {
  Missing,       // no such file
  NotAFile,      // a folder, a named pipe, a device...
  NoPermission,  // the file may not be read
  Unreadable,    // the system could not read it
  WrongFormat,   // not the kind of picture its name says
  CutShort,      // the file ends too early
  Damaged,       // the content is broken
  TooLarge,      // beyond the limits
};

// Thrown by the readers: the reason and the sentence that tells it.
struct Failure {
  Reason reason;
  std::string text;
};

// Whether the decoder hands back the pixels (the desktop draws them) or only
// checks them (the simulator takes the size). The decoding is the same.
enum class Pixels { Keep, Drop };

struct Image {
  int width = 0;
  int height = 0;
  // Row after row, each pixel 0xAARRGGBB with alpha 0 or 255 (so it is the same
  // premultiplied or not). Empty when the pixels were dropped.
  std::vector<std::uint32_t> pixels;
};

// Called by a format reader with the picture's size as soon as the header gives
// it, before any pixel memory is taken. Throws Failure when the size is refused.
using SizeCheck = std::function<void(int width, int height)>;

}  // namespace torvin::picture
