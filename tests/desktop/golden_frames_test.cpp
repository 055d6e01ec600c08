// What the window shows, frozen: at moments of real games that put every
// picture, line and label on the screen (the ramp crossing a label, pictures at
// fractional places and at the edges, all three bikes, the fallen rider), the
// window's pixels at 531 x 343 and at twice that size, buttons, list and
// captions included, compared pixel for pixel with the frames kept in
// tests/frames; and everywhere that no widget or caption covers, the window
// shows the scene renderer's frame. The scene alone (no captions, no widgets)
// is kept there too, for the renderer's own test.
//
// TORVIN_WRITE_FRAMES=1 writes the frames instead of comparing them.
#include <gtest/gtest.h>

#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <algorithm>
#include <array>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <tuple>

#include "desktop/scene_fit.h"
#include "scene/scaler.h"
#include "support/desktop_support.h"
#include "support/kept_frames.h"
#include "support/scripted_window.h"

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

// The buttons are opaque now, as real child windows: the one change from the
// frames kept before the renderer. Their rounded corners used to let the scene
// through; now they show the buttons' own colour.
bool atButtonCorner(GameWindow& window, const Form1& form, QPoint pixel) {
  for (const CommandButton* model : {&form.Command1, &form.Command2}) {
    const QRect box = window.button(*model).geometry();
    if (!box.contains(pixel)) {
      continue;
    }
    const int across = std::min(pixel.x() - box.left(), box.right() - pixel.x());
    const int down = std::min(pixel.y() - box.top(), box.bottom() - pixel.y());
    if (across + down <= 3) {
      return true;
    }
  }
  return false;
}

// Compares `image` with the kept frame `name` (or keeps it, when writing),
// leaving out the pixels `ignored` says.
void expectFrame(const QImage& image, const std::string& name,
                 const std::function<bool(QPoint)>& ignored = {}) {
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
      if (actual.pixel(x, y) != kept.pixel(x, y) && !(ignored && ignored(QPoint(x, y))) &&
          differences++ == 0) {
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

// The window shows the renderer's frame, each scene pixel as a square of
// `factor` window pixels, wherever no widget or caption covers it.
void expectRenderersFrame(const QImage& image, GameWindow& window, const Form1& form, int factor) {
  QRegion covered;
  for (const CommandButton* model : {&form.Command1, &form.Command2}) {
    covered += window.button(*model).geometry();
  }
  covered += window.scoreList().geometry();
  for (const Label* label : form.labels()) {
    if (label->Visible) {
      covered += window.fit().map(QRectF(label->Left, label->Top, label->Width, label->Height));
    }
  }
  const scene::Frame& frame = window.frame();
  int differences = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (!covered.contains(QPoint(x, y)) &&
          image.pixel(x, y) != frame.pixel(x / factor, y / factor)) {
        ++differences;
      }
    }
  }
  EXPECT_EQ(differences, 0) << "at " << factor << " times the size";
}

// The window as the player sees it, widgets included.
QImage shown(GameWindow& window, QSize size) {
  window.resize(size);
  testing::spinUntil([&window, size] { return window.size() == size; }, 2000);
  return window.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

using torvin::testing::KeptMoments;

class GoldenFrames : public ::testing::TestWithParam<KeptMoments> {};

TEST_P(GoldenFrames, TheWindowShowsTheKeptFramesAndTheRenderersFrame) {
  const KeptMoments& moments = GetParam();
  testing::ScriptedWindow played(
      kAssets, torvin::testing::scriptWithDumps(kSource + "/" + moments.script, moments.times),
      moments.autoclose);
  played.window().show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&played.window()));
  int looks = 0;
  // The buttons' corner pixels seen so far, by factor, place and whether
  // "Start" is enabled: the same in every frame, whatever the scene under them.
  std::map<std::tuple<int, int, int, bool>, QRgb> corners;
  played.run([&](long long time) {
    SCOPED_TRACE(time);
    ++looks;
    GameWindow& window = played.window();
    const Form1& form = played.form();
    for (const int factor : {1, 2}) {
      if (factor == 2 && !moments.isZoomed(time)) {
        continue;
      }
      const QImage image = shown(window, zoomedSize(factor));
      const auto corner = [&](QPoint pixel) { return atButtonCorner(window, form, pixel); };
      expectFrame(image, moments.frame(time, "window-" + std::to_string(factor)), corner);
      expectRenderersFrame(image, window, form, factor);
      for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
          if (corner(QPoint(x, y))) {
            const auto [kept, first] = corners.emplace(
                std::tuple{factor, x, y, form.Command1.Enabled.get()}, image.pixel(x, y));
            EXPECT_TRUE(first || kept->second == image.pixel(x, y))
                << "the scene shows through a button's corner at " << x << "," << y;
          }
        }
      }
    }
    window.resize(zoomedSize(1));
    if (writing()) {
      const scene::Frame& frame = window.frame();
      expectFrame(QImage(reinterpret_cast<const uchar*>(frame.data()), scene::kWidth,
                         scene::kHeight, scene::Frame::kStride * 4, QImage::Format_RGB32),
                  moments.frame(time, "scene"));
    }
  });
  EXPECT_EQ(looks, static_cast<int>(moments.times.size()));
}

INSTANTIATE_TEST_SUITE_P(Games, GoldenFrames, ::testing::ValuesIn(torvin::testing::kKeptMoments),
                         [](const ::testing::TestParamInfo<KeptMoments>& moments) {
                           return std::string(moments.param.name);
                         });

// What is on the screen while the game runs, painted one changed rectangle
// at a time: after every event of the first seconds of a game (the course,
// sky pictures coming in, the ramp, a climb, tricks in the air), the screen
// shows the renderer's frame, scaled as a whole, wherever no widget or caption
// covers it: pixel for pixel at the scene's own size, square pixels at twice
// it, and smoothed with no seam where rectangles met at one and a half times.
class PaintedAsItGoes : public ::testing::TestWithParam<QSize> {};

TEST_P(PaintedAsItGoes, TheScreenShowsTheRenderersFrameAfterEveryEvent) {
  const QSize size = GetParam();
  std::vector<script::Action> script;
  for (const script::Action& action :
       script::readScriptFile(kSource + "/tests/scenarios/whole_game.script")) {
    if (action.time <= 12000) {
      script.push_back(action);
    }
  }
  testing::ScriptedWindow played(kAssets, std::move(script));
  GameWindow& window = played.window();
  window.resize(size);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  ASSERT_TRUE(testing::spinUntil([&] { return window.size() == size; }, 2000));
  int events = 0;
  int stale = 0;
  // The buttons and the list paint only when they change themselves ("Start"
  // is disabled at the first click).
  testing::PaintCounter widgets;
  for (QWidget* widget : {static_cast<QWidget*>(&window.button(played.form().Command1)),
                          static_cast<QWidget*>(&window.button(played.form().Command2)),
                          static_cast<QWidget*>(window.scoreList().viewport())}) {
    widget->installEventFilter(&widgets);
  }
  const QRect shown = window.fit().sceneRect();
  const scene::Scaler scaler(shown.width(), shown.height());
  std::vector<std::uint32_t> scaled(static_cast<std::size_t>(shown.width() * shown.height()));
  played.afterEvent([&] {
    QApplication::processEvents();  // painted and handed to the screen
    ++events;
    const QImage screen =
        window.screen()->grabWindow(window.winId()).toImage().convertToFormat(QImage::Format_RGB32);
    QRegion covered = QRegion(window.button(played.form().Command1).geometry()) +
                      window.button(played.form().Command2).geometry() +
                      window.scoreList().geometry();
    for (const Label* label : played.form().labels()) {
      if (label->Visible) {
        covered += window.fit().map(QRectF(label->Left, label->Top, label->Width, label->Height));
      }
    }
    std::vector<char> hidden(static_cast<std::size_t>(screen.width() * screen.height()), 0);
    for (const QRect& rect : covered) {
      for (int y = rect.top(); y <= rect.bottom(); ++y) {
        std::fill_n(hidden.begin() + y * screen.width() + rect.left(), rect.width(), 1);
      }
    }
    scaler.scale(window.frame(), {0, 0, shown.width(), shown.height()}, scaled.data(),
                 shown.width());
    for (int y = shown.top(); y <= shown.bottom(); ++y) {
      const auto* row = reinterpret_cast<const QRgb*>(screen.constScanLine(y));
      const std::uint32_t* expected = scaled.data() + (y - shown.top()) * shown.width();
      for (int x = shown.left(); x <= shown.right(); ++x) {
        stale += row[x] != expected[x - shown.left()] &&
                         hidden[static_cast<std::size_t>(y * screen.width() + x)] == 0
                     ? 1
                     : 0;
      }
    }
  });
  played.run([](long long /*time*/) {});
  EXPECT_GT(events, 500);
  EXPECT_EQ(stale, 0) << "pixels that differ";
  EXPECT_LE(widgets.paints, 2);
}

INSTANTIATE_TEST_SUITE_P(Sizes, PaintedAsItGoes,
                         ::testing::Values(zoomedSize(1), zoomedSize(2), zoomedSize(1.5)),
                         [](const ::testing::TestParamInfo<QSize>& size) {
                           return std::to_string(size.param.width()) + "x" +
                                  std::to_string(size.param.height());
                         });

}  // namespace
}  // namespace torvin::desktop
