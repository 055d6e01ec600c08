// The committed pictures: the catalogue is complete with the promised sizes, the
// ground poses stand on the ground line, the sprites' sky matches the window's sky,
// the bikes can be told apart and the GIFs read the same in every decoder.

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QSet>
#include <QString>
#include <cstdlib>
#include <memory>
#include <utility>
#include <vector>

#include "catalogue_sizes.h"

namespace torvin::art {
namespace {

QString qs(std::string_view s) {
  return QString::fromUtf8(s.data(), static_cast<int>(s.size()));
}

QString assetPath(const QString& relative) {
  return QDir(TORVIN_ASSETS_DIR).filePath(relative);
}

QImage pose(std::string_view bike, std::string_view file) {
  return QImage(assetPath(qs(bike) + "/" + qs(file)));
}

const QRgb kSky = qRgb(kSkyRed, kSkyGreen, kSkyBlue);

// Clearly not sky: part of the rider or the bike.
bool ink(QRgb p) {
  return std::abs(qRed(p) - kSkyRed) + std::abs(qGreen(p) - kSkyGreen) +
             std::abs(qBlue(p) - kSkyBlue) >
         90;
}

// Runs of ink along one row, as [first, last] columns; gaps of a pixel or two join.
std::vector<std::pair<int, int>> inkRuns(const QImage& image, int y) {
  std::vector<std::pair<int, int>> runs;
  for (int x = 0; x < image.width(); ++x) {
    if (!ink(image.pixel(x, y)))
      continue;
    if (!runs.empty() && x - runs.back().second <= 3) {
      runs.back().second = x;
    } else {
      runs.emplace_back(x, x);
    }
  }
  return runs;
}

double middle(std::pair<int, int> run) {
  return (run.first + run.second) / 2.0;
}

TEST(Catalogue, EveryPoseOfEveryBikeDecodesAtItsSize) {
  for (auto bike : kBikeFolders) {
    for (const auto& size : kPoseSizes) {
      SCOPED_TRACE(qs(bike).toStdString() + "/" + std::string(size.file));
      const QImage image = pose(bike, size.file);
      ASSERT_FALSE(image.isNull());
      EXPECT_EQ(image.width(), size.width);
      EXPECT_EQ(image.height(), size.height);
    }
  }
}

TEST(Catalogue, EverySceneryPictureDecodesAtItsSize) {
  for (const auto& size : kSceneSizes) {
    SCOPED_TRACE(std::string(size.file));
    const QImage image(assetPath(qs(size.file)));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.width(), size.width);
    EXPECT_EQ(image.height(), size.height);
  }
  const QImage icon(assetPath("torvin.png"));
  ASSERT_FALSE(icon.isNull());
  EXPECT_TRUE(icon.size() == QSize(128, 128) || icon.size() == QSize(64, 64));
}

TEST(Catalogue, HoldsNoStrayPictures) {
  // The game never loads "001.jpg" or "bg002.gif"; nothing else should lie beside them.
  QSet<QString> expected;
  for (const auto& size : kPoseSizes)
    expected.insert(qs(size.file));
  for (auto bike : kBikeFolders) {
    const auto files = QDir(assetPath(qs(bike))).entryList(QDir::Files);
    EXPECT_EQ(QSet<QString>(files.begin(), files.end()), expected) << qs(bike).toStdString();
  }
  QSet<QString> scenery{"torvin.png"};
  for (const auto& size : kSceneSizes)
    scenery.insert(qs(size.file));
  const auto files = QDir(TORVIN_ASSETS_DIR).entryList(QDir::Files);
  EXPECT_EQ(QSet<QString>(files.begin(), files.end()), scenery);
}

TEST(GroundPoses, StandOnTheBottomRow) {
  for (auto bike : kBikeFolders) {
    SCOPED_TRACE(qs(bike).toStdString());
    const QImage riding = pose(bike, "002.jpg");
    const QImage manual = pose(bike, "009.jpg");
    const QImage noseManual = pose(bike, "015.jpg");
    const QImage fallen = pose(bike, "000.jpg");
    const int bottom = kPoseBox - 1;

    // Riding: both tyres touch the bottom row, one in each half.
    const auto wheels = inkRuns(riding, bottom);
    ASSERT_EQ(wheels.size(), 2u);
    EXPECT_LT(middle(wheels[0]), kPoseBox / 2.0);
    EXPECT_GT(middle(wheels[1]), kPoseBox / 2.0);

    // Front wheel up: only the rear tyre touches, where it touches when riding, so
    // the bike does not jump when the climb or the manual begins.
    const auto rear = inkRuns(manual, bottom);
    ASSERT_EQ(rear.size(), 1u);
    EXPECT_NEAR(middle(rear[0]), middle(wheels[0]), 2.0);

    // Rear wheel up: only the front tyre, in its riding place.
    const auto front = inkRuns(noseManual, bottom);
    ASSERT_EQ(front.size(), 1u);
    EXPECT_NEAR(middle(front[0]), middle(wheels[1]), 2.0);

    // Fallen: something lies on the ground.
    EXPECT_FALSE(inkRuns(fallen, bottom).empty());
  }
}

TEST(GroundPoses, LeaveTheRowsAboveTheHeadEmpty) {
  // Nothing is cut off at the top of the riding box.
  for (auto bike : kBikeFolders) {
    for (auto file : {"002.jpg", "009.jpg", "015.jpg", "000.jpg"}) {
      SCOPED_TRACE(qs(bike).toStdString() + "/" + file);
      EXPECT_TRUE(inkRuns(pose(bike, file), 0).empty());
    }
  }
}

TEST(PoseBackground, IsExactlyTheSkyAtEveryCorner) {
  for (auto bike : kBikeFolders) {
    for (const auto& size : kPoseSizes) {
      SCOPED_TRACE(qs(bike).toStdString() + "/" + std::string(size.file));
      const QImage image = pose(bike, size.file);
      ASSERT_FALSE(image.isNull());
      const int right = image.width() - 1;
      const int bottom = image.height() - 1;
      for (auto [x, y] : {std::pair{0, 0}, {right, 0}, {0, bottom}, {right, bottom}}) {
        // The ground poses touch the bottom row, but never in its corners.
        EXPECT_EQ(image.pixel(x, y), kSky) << "corner " << x << "," << y;
      }
      // A whole block of the compressed picture, not only the corner pixel.
      for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x)
          ASSERT_EQ(image.pixel(x, y), kSky) << x << "," << y;
      }
    }
  }
}

TEST(Bikes, EveryPoseDiffersBetweenTheBikes) {
  for (const auto& size : kPoseSizes) {
    for (std::size_t a = 0; a < kBikeFolders.size(); ++a) {
      for (std::size_t b = a + 1; b < kBikeFolders.size(); ++b) {
        SCOPED_TRACE(std::string(size.file));
        const QImage first = pose(kBikeFolders[a], size.file);
        const QImage second = pose(kBikeFolders[b], size.file);
        ASSERT_EQ(first.size(), second.size());
        int different = 0;
        for (int y = 0; y < first.height(); ++y) {
          for (int x = 0; x < first.width(); ++x) {
            const QRgb p = first.pixel(x, y);
            const QRgb q = second.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                    std::abs(qBlue(p) - qBlue(q)) >
                60) {
              ++different;
            }
          }
        }
        EXPECT_GT(different, 150);
      }
    }
  }
}

// What giflib itself reads from a file.
struct GifFile {
  explicit GifFile(const QString& path) {
    int error = 0;
    gif.reset(DGifOpenFileName(path.toLocal8Bit().constData(), &error));
    if (gif && DGifSlurp(gif.get()) != GIF_OK)
      gif.reset();
  }
  struct Close {
    void operator()(GifFileType* g) const {
      int error = 0;
      DGifCloseFile(g, &error);
    }
  };
  std::unique_ptr<GifFileType, Close> gif;
};

TEST(Gifs, AreOneFrameCoveringTheWholeScreen) {
  for (const auto& size : kSceneSizes) {
    SCOPED_TRACE(std::string(size.file));
    GifFile file(assetPath(qs(size.file)));
    ASSERT_TRUE(file.gif);
    const GifFileType& g = *file.gif;
    ASSERT_EQ(g.ImageCount, 1);
    EXPECT_EQ(g.SWidth, size.width);
    EXPECT_EQ(g.SHeight, size.height);
    const GifImageDesc& d = g.SavedImages[0].ImageDesc;
    EXPECT_EQ(d.Left, 0);
    EXPECT_EQ(d.Top, 0);
    EXPECT_EQ(d.Width, size.width);
    EXPECT_EQ(d.Height, size.height);
    EXPECT_FALSE(d.Interlace);
  }
}

bool clear(const QImage& image, int x, int y) {
  return qAlpha(image.pixel(x, y)) == 0;
}

TEST(Scenery, TheRampFillsBelowTheRampLineOnly) {
  // The game's ramp line runs from the picture's bottom-left corner up 88 over 88.
  const QImage ramp(assetPath("bg006.gif"));
  ASSERT_FALSE(ramp.isNull());
  const int h = ramp.height();
  for (int x = 6; x < 86; x += 4) {
    const int surface = h - x;
    EXPECT_TRUE(clear(ramp, x, surface - 4)) << x;
    EXPECT_FALSE(clear(ramp, x, surface + 3)) << x;
    EXPECT_FALSE(clear(ramp, x, h - 1)) << x;  // standing on the ground
  }
  EXPECT_TRUE(clear(ramp, ramp.width() - 1, 0));
  EXPECT_FALSE(clear(ramp, ramp.width() - 1, h - 80));
}

TEST(Scenery, TheGroundTileJoinsItselfAndHasNoHoles) {
  const QImage ground(assetPath("bg001.gif"));
  ASSERT_FALSE(ground.isNull());
  auto columnStep = [&](int a, int b) {
    double sum = 0;
    for (int y = 0; y < ground.height(); ++y) {
      const QRgb p = ground.pixel(a, y);
      const QRgb q = ground.pixel(b, y);
      sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
             std::abs(qBlue(p) - qBlue(q));
    }
    return sum / ground.height();
  };
  double typical = 0;
  for (int x = 0; x + 1 < ground.width(); ++x)
    typical += columnStep(x, x + 1);
  typical /= ground.width() - 1;
  // The seam between two tiles is no rougher than any step inside one.
  EXPECT_LT(columnStep(ground.width() - 1, 0), 3 * typical + 10);
  for (int y = 0; y < ground.height(); ++y) {
    for (int x = 0; x < ground.width(); ++x)
      ASSERT_EQ(qAlpha(ground.pixel(x, y)), 255);
  }
}

TEST(Scenery, CloudsAndHillsShowTheSkyAroundThem) {
  for (auto file : {"bg003.gif", "bg004.gif", "bg005.gif"}) {
    SCOPED_TRACE(file);
    const QImage cloud(assetPath(file));
    ASSERT_FALSE(cloud.isNull());
    EXPECT_TRUE(clear(cloud, 0, 0));
    EXPECT_TRUE(clear(cloud, cloud.width() - 1, 0));
    EXPECT_FALSE(clear(cloud, cloud.width() / 2, cloud.height() / 2));
  }
  // The far hills: sky above, their foot along the whole bottom row, on the ground line.
  const QImage hills(assetPath("bg007.gif"));
  ASSERT_FALSE(hills.isNull());
  for (int x = 0; x < hills.width(); ++x) {
    ASSERT_TRUE(clear(hills, x, 0)) << x;
    ASSERT_FALSE(clear(hills, x, hills.height() - 1)) << x;
  }
}

}  // namespace
}  // namespace torvin::art
