#include "desktop/picture_store.h"

#include <QImage>
#include <QImageReader>
#include <QString>

namespace torvin::desktop {

DecodedPicture PictureStore::load(const std::string& path) {
  if (const auto kept = byPath_.find(path); kept != byPath_.end()) {
    return kept->second;
  }
  QImageReader reader(QString::fromStdString(path));
  // A picture whose contents do not match its name still shows, as long as it decodes.
  reader.setDecideFormatFromContent(true);
  const QImage image = reader.read();
  if (image.isNull()) {
    throw PictureError(path + ": " + reader.errorString().toStdString());
  }
  const DecodedPicture picture{image.width(), image.height(), static_cast<int>(pixmaps_.size())};
  pixmaps_.push_back(QPixmap::fromImage(image));
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
