// torvin-art: draws every picture of the game into an assets folder, plus a contact
// sheet and a strip of the flip frames for review, and the desktop icon in the
// sizes of the icon theme.
//
//   torvin-art [--icons ICONS_DIR] ASSETS_DIR [CONTACT_SHEET_PNG [FLIPS_PNG]]

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <initializer_list>
#include <iterator>
#include <string>
#include <vector>

#include "catalogue_sizes.h"
#include "figure.h"
#include "gif_writer.h"
#include "poses.h"
#include "scenery.h"

namespace {

using namespace torvin::art;

const QColor kSky(kSkyRed, kSkyGreen, kSkyBlue);

QString name(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

void fail(const QString& message) {
  throw std::runtime_error(message.toStdString());
}

QImage drawPosePicture(const PictureSize& size, const BikeStyle& bike) {
  QImage image(size.width, size.height, QImage::Format_RGB32);
  image.fill(kSky);
  QPainter painter(&image);
  drawPose(painter, pose(size.file), bike, QSizeF(size.width, size.height));
  return image;
}

void writeJpeg(const QImage& image, const QString& path) {
  QImageWriter writer(path, "jpeg");
  writer.setQuality(100);
  writer.setOptimizedWrite(true);
  if (!writer.write(image))
    fail("cannot write " + path + ": " + writer.errorString());
}

void writePng(const QImage& image, const QString& path) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QImageWriter writer(path, "png");
  if (!writer.write(image))
    fail("cannot write " + path + ": " + writer.errorString());
}

// The desktop icon: the rider on the first bike in a round-cornered patch of sky,
// designed at 128 pixels and drawn at `side` pixels.
QImage drawIcon(int side) {
  constexpr int kSide = 128;
  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(static_cast<double>(side) / kSide, static_cast<double>(side) / kSide);
  QPainterPath badge;
  badge.addRoundedRect(QRectF(2, 2, kSide - 4, kSide - 4), 22, 22);
  painter.setClipPath(badge);
  painter.fillRect(QRect(0, 0, kSide, kSide), kSky);
  painter.fillRect(QRectF(0, 112, kSide, kSide - 112), QColor(96, 160, 58));
  painter.translate(4, 0);
  drawPose(painter, pose("002.jpg"), bikes()[0], QSizeF(kPoseBox, 112));
  return image;
}

// The icon at 32 pixels and below, where the drawn rider would blur away: the
// same scene as a bold pictogram, designed on a 32-pixel grid.
QImage drawSmallIcon(int side) {
  constexpr double kGrid = 32;
  const BikeStyle& bike = bikes()[0];
  QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.scale(side / kGrid, side / kGrid);
  QPainterPath badge;
  badge.addRoundedRect(QRectF(0.5, 0.5, kGrid - 1, kGrid - 1), 6, 6);
  painter.setClipPath(badge);
  painter.fillRect(QRectF(0, 0, kGrid, kGrid), kSky);
  painter.fillRect(QRectF(0, 28, kGrid, 4), QColor(96, 160, 58));
  auto stroke = [&painter](const QColor& colour, double width,
                           std::initializer_list<QPointF> points) {
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPolyline(std::data(points), static_cast<int>(points.size()));
  };
  // The wheels, the frame, fork and bars.
  painter.setPen(QPen(bike.tyre, 2.2));
  painter.drawEllipse(QPointF(8.5, 22.5), 5, 5);
  painter.drawEllipse(QPointF(23.5, 22.5), 5, 5);
  stroke(bike.frame, 2.2, {{8.5, 22.5}, {15, 22}, {21, 14.5}, {12.5, 14.5}, {15, 22}});
  stroke(QColor(96, 102, 114), 1.8, {{21, 14.5}, {23.5, 22.5}});
  stroke(QColor(96, 102, 114), 1.8, {{21, 14.5}, {20, 11}});
  // The rider: leg to the pedal, body, arm to the bars, helmet.
  stroke(QColor(118, 122, 134), 2.4, {{12.5, 13.5}, {17, 17}, {15.5, 21}});
  stroke(QColor(31, 59, 115), 3.4, {{12.5, 13}, {16, 7.5}});
  stroke(QColor(31, 59, 115), 2, {{16, 8}, {20, 11}});
  painter.setPen(Qt::NoPen);
  painter.setBrush(bike.frame);
  painter.drawEllipse(QPointF(18, 4.8), 2.8, 2.8);
  return image;
}

// Pictures laid out in rows with their names underneath.
class Sheet {
 public:
  explicit Sheet(int columns, int zoom = 1) : columns_(columns), zoom_(zoom) {}
  void add(const QString& label, const QImage& image) {
    const std::size_t rowStart = rows_.empty() ? 0 : rows_.back();
    if (cells_.size() - rowStart == static_cast<std::size_t>(columns_))
      newRow();
    cells_.push_back({label, image.scaled(image.size() * zoom_)});
  }
  void newRow() { rows_.push_back(cells_.size()); }

  QImage render() const {
    constexpr int kLabel = 16;
    constexpr int kGap = 8;
    std::vector<std::size_t> breaks = rows_;
    breaks.push_back(cells_.size());
    std::vector<std::pair<std::size_t, std::size_t>> rows;
    std::size_t start = 0;
    for (std::size_t end : breaks) {
      if (end > start)
        rows.emplace_back(start, end);
      start = end;
    }
    int narrowest = 0;  // every cell is at least as wide as the widest pose
    for (const auto& c : cells_) {
      if (c.image.width() <= 200 * zoom_)
        narrowest = std::max(narrowest, c.image.width() + kGap);
    }
    auto cellWidth = [&](const Cell& c) { return std::max(narrowest, c.image.width() + kGap); };
    std::vector<int> heights;
    int total = 0;
    int width = 0;
    for (const auto& [from, to] : rows) {
      int tallest = 0;
      int rowWidth = 0;
      for (std::size_t i = from; i < to; ++i) {
        tallest = std::max(tallest, cells_[i].image.height());
        rowWidth += cellWidth(cells_[i]);
      }
      heights.push_back(tallest + kLabel + kGap);
      total += heights.back();
      width = std::max(width, rowWidth);
    }
    QImage sheet(width, total, QImage::Format_RGB32);
    sheet.fill(QColor(60, 64, 72));
    QPainter p(&sheet);
    QFont font = p.font();
    font.setPixelSize(11);
    p.setFont(font);
    p.setPen(Qt::white);
    int y = 0;
    for (std::size_t r = 0; r < rows.size(); ++r) {
      int x = 0;
      for (std::size_t i = rows[r].first; i < rows[r].second; ++i) {
        const auto& c = cells_[i];
        p.drawImage(x + kGap / 2, y + kGap / 2, c.image);
        p.drawText(QRectF(x, y + heights[r] - kLabel - 2, cellWidth(c), kLabel), Qt::AlignCenter,
                   c.label);
        x += cellWidth(c);
      }
      y += heights[r];
    }
    return sheet;
  }

 private:
  struct Cell {
    QString label;
    QImage image;
  };
  int columns_;
  int zoom_;
  std::vector<Cell> cells_;
  std::vector<std::size_t> rows_;
};

QImage readBack(const QString& path) {
  QImage image(path);
  if (image.isNull())
    fail("cannot read back " + path);
  return image;
}

// The icon theme's sizes, each as ICONS_DIR/hicolor/NxN/apps/torvin.png.
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

void drawIcons(const QDir& icons) {
  for (const int side : kIconSizes) {
    writePng(side <= 32 ? drawSmallIcon(side) : drawIcon(side),
             icons.filePath(QStringLiteral("hicolor/%1x%1/apps/torvin.png").arg(side)));
  }
}

int run(QStringList args) {
  const char* usage =
      "usage: torvin-art [--icons ICONS_DIR] ASSETS_DIR [CONTACT_SHEET_PNG [FLIPS_PNG]]\n"
      "Draws every picture of the game into ASSETS_DIR, and a contact sheet for review.\n"
      "With --icons, also the desktop icon in every size of the hicolor icon theme.\n";
  QString iconsPath;
  if (args.size() > 2 && args[1] == "--icons") {
    iconsPath = args[2];
    args.remove(1, 2);
  }
  if (args.size() == 2 && (args[1] == "--help" || args[1] == "-h")) {
    std::fputs(usage, stdout);
    return 0;
  }
  if (args.size() < 2 || args.size() > 4 || args[1].startsWith('-')) {
    std::fputs(usage, stderr);
    return 2;
  }
  const QDir assets(args[1]);
  const QString sheetPath = args.size() > 2 ? args[2] : "build-art/contact-sheet.png";
  const QString flipsPath =
      args.size() > 3 ? args[3] : QFileInfo(sheetPath).absolutePath() + "/flips.png";

  Sheet sheet(11);
  for (const BikeStyle& bike : bikes()) {
    const QString folder = name(bike.folder);
    if (!assets.mkpath(folder))
      fail("cannot create " + assets.filePath(folder));
    for (const PictureSize& size : kPoseSizes) {
      const QString path = assets.filePath(folder + "/" + name(size.file));
      writeJpeg(drawPosePicture(size, bike), path);
      sheet.add(folder + "/" + name(size.file), readBack(path));
    }
    sheet.newRow();
  }
  for (const PictureSize& size : kSceneSizes) {
    const QString path = assets.filePath(name(size.file));
    writeGif(drawScenery(size.file), path, kSky);
    QImage shown(readBack(path).size(), QImage::Format_RGB32);
    shown.fill(kSky);
    QPainter(&shown).drawImage(0, 0, readBack(path));
    sheet.add(name(size.file), shown);
  }
  const QString iconPath = assets.filePath("torvin.png");
  writePng(drawIcon(128), iconPath);
  sheet.add("torvin.png", readBack(iconPath));
  if (!iconsPath.isEmpty()) {
    drawIcons(QDir(iconsPath));
  }
  writePng(sheet.render(), sheetPath);

  // The flips, one bike per row: the backflip, then the frontflip's order.
  Sheet flips(7, 2);
  for (const BikeStyle& bike : bikes()) {
    for (const char* file : {"009", "010", "011", "012", "013", "014", "015"}) {
      flips.add(name(bike.folder) + "/" + file,
                readBack(assets.filePath(name(bike.folder) + "/" + file + ".jpg")));
    }
    flips.newRow();
    for (const char* file : {"015", "014", "013", "016", "017", "010", "009"}) {
      flips.add(name(bike.folder) + "/" + file,
                readBack(assets.filePath(name(bike.folder) + "/" + file + ".jpg")));
    }
    flips.newRow();
  }
  writePng(flips.render(), flipsPath);
  std::printf("wrote %s, %s and %s\n", qPrintable(assets.absolutePath()), qPrintable(sheetPath),
              qPrintable(flipsPath));
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  try {
    return run(QGuiApplication::arguments());
  } catch (const std::exception& e) {
    std::fprintf(stderr, "torvin-art: %s\n", e.what());
    return 1;
  }
}
