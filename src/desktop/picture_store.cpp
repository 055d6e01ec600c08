#include "desktop/picture_store.h"

#include <QByteArray>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QString>
#include <cstdlib>

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
QImage withoutSky(QImage image) {
  image = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      if (nearSky(line[x])) {
        line[x] = qRgba(0, 0, 0, 0);
      }
    }
  }
  return image;
}

bool isPose(const std::string& path) {
  return path.size() >= 4 && path.compare(path.size() - 4, 4, ".jpg") == 0;
}

// A JPEG file ends with its end-of-image marker and a GIF file with its trailer
// byte. A file cut short lacks them, yet Qt decodes the part that is there and
// fills in the rest, so the game would ride on with half a picture.
bool cutShort(const std::string& path) {
  QFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::ReadOnly) || file.size() < 2 || !file.seek(file.size() - 2)) {
    return true;
  }
  const QByteArray end = file.read(2);
  const QString suffix = QFileInfo(file).suffix().toLower();
  if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg")) {
    return end != QByteArrayLiteral("\xFF\xD9");
  }
  if (suffix == QLatin1String("gif")) {
    return !end.endsWith(';');
  }
  return false;
}

}  // namespace

DecodedPicture PictureStore::load(const std::string& path) {
  if (const auto kept = byPath_.find(path); kept != byPath_.end()) {
    return kept->second;
  }
  // The file must be what its name says, as in the simulator: a GIF named
  // "002.jpg" is a broken picture.
  const QString file = QString::fromStdString(path);
  if (!QFileInfo(file).isFile()) {
    throw PictureError(path + ": the file is missing");
  }
  if (cutShort(path)) {
    throw PictureError(path + ": the file is cut short");
  }
  QImageReader reader(file, QFileInfo(file).suffix().toLower().toLatin1());
  reader.setAutoDetectImageFormat(false);
  QImage image = reader.read();
  if (image.isNull()) {
    throw PictureError(path + ": " + reader.errorString().toStdString());
  }
  if (isPose(path)) {
    image = withoutSky(std::move(image));
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
