// What the window shows, frozen: at moments of real games that put every
// picture, line and label on the screen (the ramp crossing a label, pictures at
// fractional places and at the edges, all three bikes, the fallen rider), the
// window's pixels at 531 x 343 and at twice that size, buttons, list and
// captions included, compared pixel for pixel with the frames kept in
// tests/frames. The scene alone (no captions, no widgets) is kept there too,
// for the scene renderer's own test.
//
// TORVIN_WRITE_FRAMES=1 writes the frames instead of comparing them.
#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <string>

#include "desktop/scene_fit.h"
#include "desktop_support.h"
#include "scripted_window.h"
#include "support/kept_frames.h"

namespace torvin::desktop {
namespace {

const std::string kSource = TORVIN_SOURCE_DIR;
const std::string kAssets = TORVIN_TEST_ASSETS;

bool writing() {
  const char* write = std::getenv("TORVIN_WRITE_FRAMES");
  return write != nullptr && std::string(write) == "1";
}

std::string framePath(const std::string& name) {
  return kSource + "/tests/frames/" + name + ".png";
}

// Where an image that differs from its frame is left to be looked at.
std::string mismatchPath(const std::string& name) {
  return std::string(TORVIN_BINARY_DIR) + "/" + name + "-actual.png";
}

// Compares `image` with the kept frame `name` (or keeps it, when writing).
void expectFrame(const QImage& image, const std::string& name) {
  const QImage actual = image.convertToFormat(QImage::Format_RGB32);
  if (writing()) {
    ASSERT_TRUE(actual.save(QString::fromStdString(framePath(name)))) << name;
    return;
  }
  const QImage kept =
      QImage(QString::fromStdString(framePath(name))).convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(kept.isNull()) << "no frame " << framePath(name);
  ASSERT_EQ(actual.size(), kept.size()) << name;
  int differences = 0;
  QPoint first;
  for (int y = 0; y < kept.height(); ++y) {
    for (int x = 0; x < kept.width(); ++x) {
      if (actual.pixel(x, y) != kept.pixel(x, y) && differences++ == 0) {
        first = QPoint(x, y);
      }
    }
  }
  if (differences > 0) {
    actual.save(QString::fromStdString(mismatchPath(name)));
  }
  EXPECT_EQ(differences, 0) << name << ": first at " << first.x() << "," << first.y()
                            << "; the window's image is in " << mismatchPath(name);
}

// The scene as the window composes it, without captions, buttons or list: the
// window at twice the size, painted alone with empty captions, taken back to one
// pixel in four.
QImage sceneAlone(testing::ScriptedWindow& played) {
  Form1& form = played.form();
  std::array<Label*, 5> labels = {&form.Label1, &form.Label2, &form.Label3, &form.Label4,
                                  &form.Label5};
  std::array<std::string, 5> captions;
  for (std::size_t i = 0; i < labels.size(); ++i) {
    captions[i] = labels[i]->Caption;
    labels[i]->Caption = "";
  }
  GameWindow& window = played.window();
  window.resize(zoomedSize(2));
  QImage twice(zoomedSize(2), QImage::Format_RGB32);
  window.render(&twice, QPoint(), QRegion(), QWidget::DrawWindowBackground);
  QImage scene(kSceneWidth, kSceneHeight, QImage::Format_RGB32);
  for (int y = 0; y < kSceneHeight; ++y) {
    for (int x = 0; x < kSceneWidth; ++x) {
      scene.setPixel(x, y, twice.pixel(2 * x, 2 * y));
    }
  }
  for (std::size_t i = 0; i < labels.size(); ++i) {
    labels[i]->Caption = captions[i];
  }
  window.resize(zoomedSize(1));
  return scene;
}

// The window as the player sees it, widgets included.
QImage shown(GameWindow& window, QSize size) {
  window.resize(size);
  testing::spinUntil([&window, size] { return window.size() == size; }, 2000);
  return window.grab().toImage();
}

using torvin::testing::KeptMoments;

class GoldenFrames : public ::testing::TestWithParam<KeptMoments> {};

TEST_P(GoldenFrames, TheWindowShowsTheKeptFrames) {
  const KeptMoments& moments = GetParam();
  testing::ScriptedWindow played(
      kAssets, torvin::testing::scriptWithDumps(kSource + "/" + moments.script, moments.times),
      moments.autoclose);
  played.window().show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&played.window()));
  int looks = 0;
  played.run([&](long long time) {
    SCOPED_TRACE(time);
    ++looks;
    GameWindow& window = played.window();
    expectFrame(shown(window, zoomedSize(1)), moments.frame(time, "window-1"));
    if (moments.isZoomed(time)) {
      expectFrame(shown(window, zoomedSize(2)), moments.frame(time, "window-2"));
      window.resize(zoomedSize(1));
    }
    if (writing()) {
      expectFrame(sceneAlone(played), moments.frame(time, "scene"));
    }
  });
  EXPECT_EQ(looks, static_cast<int>(moments.times.size()));
}

INSTANTIATE_TEST_SUITE_P(Games, GoldenFrames, ::testing::ValuesIn(torvin::testing::kKeptMoments),
                         [](const ::testing::TestParamInfo<KeptMoments>& moments) {
                           return std::string(moments.param.name);
                         });

}  // namespace
}  // namespace torvin::desktop
