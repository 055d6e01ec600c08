// The decoded pictures of one run of the game, each file read once and kept.
#pragma once

#include <QPixmap>
#include <map>
#include <string>
#include <vector>

#include "picture/picture_decoder.h"
#include "platform/picture.h"

namespace torvin::desktop {

class PictureStore {
 public:
  // Decodes the file the first time it is asked for (with the game's own
  // decoder, as the simulator does) and hands back the kept copy afterwards.
  // Throws PictureError naming the file and the reason.
  DecodedPicture load(const std::string& path);

  // The decoded picture behind a handle from load(); a null pixmap for a handle
  // this store never gave out.
  const QPixmap& pixmap(int handle) const;

  // How many files were decoded so far (each at most once).
  std::size_t decoded() const { return pixmaps_.size(); }

 private:
  picture::Decoder decoder_;
  std::map<std::string, DecodedPicture> byPath_;
  std::vector<QPixmap> pixmaps_;
  QPixmap none_;
};

}  // namespace torvin::desktop
