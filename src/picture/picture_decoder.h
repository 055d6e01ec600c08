// The game's one picture decoder, used by the desktop game and the simulator
// alike, so that both accept and refuse exactly the same files for the same
// reason. A picture is good only if it is a regular file (links followed) of
// at most 16 MB, in the format its name says (.jpg: JPEG, .gif: GIF), decodes
// completely without a warning, holds an image of at most 4096 x 4096 pixels,
// and fits, with every picture decoded before it, in a budget of 256 MB.
#pragma once

#include <cstdint>
#include <string>

#include "picture/decoding.h"
#include "platform/picture.h"

namespace torvin::picture {

// A refused picture: what() names the file and the reason, as in
// "/games/torvin/01/002.jpg: the file is cut short".
class Refused : public PictureError {
 public:
  Refused(const std::string& path, Reason reason, const std::string& text)
      : PictureError(path + ": " + text), reason_(reason) {}
  Reason reason() const { return reason_; }

 private:
  Reason reason_;
};

// Decodes picture files within the limits, and counts what the pictures it has
// decoded would take if all were kept. One per run of the game.
class Decoder {
 public:
  explicit Decoder(Limits limits = {}) : limits_(limits) {}

  // Checks and decodes the file. Throws Refused. A picture decoded with
  // Pixels::Drop counts against the budget as one kept.
  Image decode(const std::string& path, Pixels pixels = Pixels::Keep);

  // What the pictures decoded so far take, in bytes.
  std::uint64_t bytesUsed() const { return used_; }
  const Limits& limits() const { return limits_; }

 private:
  Limits limits_;
  std::uint64_t used_ = 0;
};

// Decodes the bytes of a file as the format `path`'s name says, without
// reading the file or counting a budget (for the fuzzer). Throws Failure.
Image decodeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes,
                  const Limits& limits, Pixels pixels, const SizeCheck& checkSize);

}  // namespace torvin::picture
