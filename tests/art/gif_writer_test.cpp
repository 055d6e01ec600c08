// The GIF writer: what giflib reads back from its files.

#include "gif_writer.h"

#include <gif_lib.h>
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdlib>
#include <stdexcept>

namespace torvin::art {
namespace {

struct ReadBack {
  explicit ReadBack(const QString& path) {
    int error = 0;
    gif = DGifOpenFileName(path.toLocal8Bit().constData(), &error);
    if (gif != nullptr && DGifSlurp(gif) != GIF_OK) {
      DGifCloseFile(gif, &error);
      gif = nullptr;
    }
  }
  ~ReadBack() {
    int error = 0;
    if (gif != nullptr)
      DGifCloseFile(gif, &error);
  }
  ReadBack(const ReadBack&) = delete;
  ReadBack& operator=(const ReadBack&) = delete;

  int index(int x, int y) const {
    return gif->SavedImages[0].RasterBits[y * gif->SavedImages[0].ImageDesc.Width + x];
  }
  GifColorType colour(int x, int y) const { return gif->SColorMap->Colors[index(x, y)]; }
  int transparentIndex() const {
    GraphicsControlBlock control;
    if (DGifSavedExtensionToGCB(gif, 0, &control) != GIF_OK)
      return NO_TRANSPARENT_COLOR;
    return control.TransparentColor;
  }

  GifFileType* gif = nullptr;
};

class GifWriterTest : public ::testing::Test {
 protected:
  QString path(const char* name) const { return QDir(dir_.path()).filePath(name); }
  QTemporaryDir dir_;
};

TEST_F(GifWriterTest, KeepsFewColoursExactlyAndCoversTheScreen) {
  QImage image(7, 5, QImage::Format_ARGB32);
  image.fill(qRgb(10, 200, 30));
  image.setPixel(3, 2, qRgb(250, 5, 128));
  writeGif(image, path("few.gif"), QColor(150, 213, 255));

  ReadBack back(path("few.gif"));
  ASSERT_NE(back.gif, nullptr);
  EXPECT_EQ(back.gif->ImageCount, 1);
  EXPECT_EQ(back.gif->SWidth, 7);
  EXPECT_EQ(back.gif->SHeight, 5);
  EXPECT_EQ(back.gif->SavedImages[0].ImageDesc.Width, 7);
  EXPECT_EQ(back.gif->SavedImages[0].ImageDesc.Height, 5);
  EXPECT_EQ(back.transparentIndex(), NO_TRANSPARENT_COLOR);
  const GifColorType odd = back.colour(3, 2);
  EXPECT_EQ(odd.Red, 250);
  EXPECT_EQ(odd.Green, 5);
  EXPECT_EQ(odd.Blue, 128);
  const GifColorType plain = back.colour(0, 4);
  EXPECT_EQ(plain.Red, 10);
  EXPECT_EQ(plain.Green, 200);
  EXPECT_EQ(plain.Blue, 30);
}

TEST_F(GifWriterTest, HalfCoveredPixelsBlendOverTheMatteAndTheRestIsSeeThrough) {
  QImage image(4, 1, QImage::Format_ARGB32);
  image.setPixel(0, 0, qRgba(0, 0, 0, 0));
  image.setPixel(1, 0, qRgba(0, 0, 0, 100));  // less than half: dropped
  image.setPixel(2, 0, qRgba(0, 0, 0, 255));
  image.setPixel(3, 0, qRgba(255, 255, 255, 128));  // kept, blended with the matte
  writeGif(image, path("alpha.gif"), QColor(0, 0, 0));

  ReadBack back(path("alpha.gif"));
  ASSERT_NE(back.gif, nullptr);
  const int see = back.transparentIndex();
  ASSERT_NE(see, NO_TRANSPARENT_COLOR);
  EXPECT_EQ(back.index(0, 0), see);
  EXPECT_EQ(back.index(1, 0), see);
  EXPECT_NE(back.index(2, 0), see);
  EXPECT_NE(back.index(3, 0), see);
  EXPECT_EQ(back.colour(3, 0).Red, 128);
}

TEST_F(GifWriterTest, ReducesManyColoursCloselyAndSameEachTime) {
  QImage image(256, 64, QImage::Format_ARGB32);
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x)
      image.setPixel(x, y, qRgb(x, y * 4, 255 - x));
  }
  writeGif(image, path("many.gif"), QColor(150, 213, 255));
  writeGif(image, path("again.gif"), QColor(150, 213, 255));

  ReadBack back(path("many.gif"));
  ASSERT_NE(back.gif, nullptr);
  int worst = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const GifColorType c = back.colour(x, y);
      worst = std::max(
          {worst, std::abs(c.Red - x), std::abs(c.Green - y * 4), std::abs(c.Blue - (255 - x))});
    }
  }
  EXPECT_LE(worst, 40);

  QFile first(path("many.gif"));
  QFile second(path("again.gif"));
  ASSERT_TRUE(first.open(QIODevice::ReadOnly));
  ASSERT_TRUE(second.open(QIODevice::ReadOnly));
  EXPECT_EQ(first.readAll(), second.readAll());
}

TEST_F(GifWriterTest, ReportsAFileItCannotCreate) {
  QImage image(2, 2, QImage::Format_ARGB32);
  image.fill(Qt::red);
  EXPECT_THROW(writeGif(image, path("missing/folder/x.gif"), Qt::black), std::runtime_error);
}

}  // namespace
}  // namespace torvin::art
