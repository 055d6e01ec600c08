// Feeds arbitrary bytes to the picture decoder, as a JPEG and as a GIF: it must
// take the picture, with exactly its pixels, or refuse it with a reason; never
// crash, hang or run away with memory.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "picture/picture_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace torvin::picture;
  const std::vector<std::uint8_t> bytes(data, data + size);
  // Smaller pictures than the game allows, so that each run is quick; the
  // decoding is the same.
  Limits limits;
  limits.maxSide = 1024;
  const SizeCheck checkSize = [&limits](int width, int height) {
    if (width < 1 || height < 1 || width > limits.maxSide || height > limits.maxSide) {
      throw Failure{Reason::TooLarge, "size"};
    }
  };
  for (const char* name : {"fuzz.jpg", "fuzz.gif"}) {
    for (const Pixels pixels : {Pixels::Keep, Pixels::Drop}) {
      try {
        const Image image = decodeBytes(name, bytes, limits, pixels, checkSize);
        const auto area =
            static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height);
        if (image.width < 1 || image.height < 1 ||
            image.pixels.size() != (pixels == Pixels::Keep ? area : 0)) {
          __builtin_trap();  // taken, but not whole
        }
      } catch (const Failure& failure) {
        if (failure.text.empty()) {
          __builtin_trap();  // refused without a reason
        }
      }
    }
  }
  return 0;
}
