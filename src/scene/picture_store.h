// The pictures of one run of the game, each file decoded once with the game's
// own decoder and kept, for every host alike: with their pixels for a host that
// shows the scene, or with their sizes alone for one that does not.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "picture/picture_decoder.h"
#include "platform/picture.h"

namespace torvin::scene {

// A picture ready to be drawn: its pixels row after row, each 0xAARRGGBB with
// alpha 0 (see-through) or 255, and for each row the runs of pixels drawn.
struct Sprite {
  struct Run {
    int begin = 0;  // the first column of the run
    int end = 0;    // the column after its last
  };

  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::vector<Run> runs;  // the runs of row y: runs[rowRuns[y]] to runs[rowRuns[y + 1] - 1]
  std::vector<std::size_t> rowRuns;  // height + 1 entries

  const std::uint32_t* row(int y) const {
    return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
  }
};

class PictureStore {
 public:
  explicit PictureStore(picture::Pixels pixels = picture::Pixels::Keep) : pixels_(pixels) {}

  // Decodes the file the first time it is asked for and hands back the kept
  // picture afterwards. Throws PictureError (picture::Refused) naming the file
  // and the reason.
  DecodedPicture load(const std::string& path);
  // Keeps a picture decoded elsewhere under `path`, as load() would have kept
  // it (unless a picture is kept under that path already).
  DecodedPicture keep(const std::string& path, picture::Image image);

  // The picture behind a handle from load(); none for a handle this store never
  // gave out, or when the pixels are not kept.
  const Sprite* sprite(int handle) const;

  // How many files were decoded so far (each at most once).
  std::size_t decoded() const { return sprites_.size(); }

 private:
  picture::Pixels pixels_;
  picture::Decoder decoder_;
  std::map<std::string, DecodedPicture> byPath_;
  std::vector<std::unique_ptr<const Sprite>> sprites_;  // by handle; none without pixels
};

}  // namespace torvin::scene
