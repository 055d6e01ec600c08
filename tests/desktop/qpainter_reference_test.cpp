// The scene renderer against QPainter, which painted the window's scene until
// the renderer took over: random scenes, far beyond what the game itself does
// (pictures of every size at fractional places and boxes, hidden and shown,
// pictures with see-through pixels, labels at fractional places, lines at every
// slope with fractional ends, on and off the scene), painted both ways and
// compared pixel for pixel. The reference below is the window's own painting of
// the scene as it was, kept here word for word.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <cmath>
#include <cstring>
#include <random>
#include <tuple>
#include <vector>

#include "scene/picture_store.h"
#include "scene/renderer.h"
#include "shell/form1.h"

namespace torvin::scene {
namespace {

constexpr int kSceneWidth = kWidth;
constexpr int kSceneHeight = kHeight;

// The game's window with pictures of the test's own, whose paint handler draws
// with whichever painter is set.
class Stage final : public Platform {
 public:
  Stage() : form(*this) {}

  DecodedPicture loadPicture(const std::string& /*path*/) override { return {}; }
  void messageBox(const std::string& /*text*/) override {}
  void pause() override {}
  std::string programFolder() override { return {}; }
  void drawLine(float x1, float y1, float x2, float y2) override {
    if (painter != nullptr) {
      painter->drawLine(QPointF(x1, y1), QPointF(x2, y2));
    }
    if (renderer != nullptr) {
      renderer->drawLine(x1, y1, x2, y2);
    }
  }
  void intervalChanged(const Timer& /*timer*/) override {}

  // A picture of the test's own: its pixels kept by the store and, for the
  // reference, as the pixmap the window used to keep.
  Picture add(int width, int height, std::uint32_t seed, bool seeThrough) {
    picture::Image image;
    image.width = width;
    image.height = height;
    std::mt19937 random(seed);
    for (int i = 0; i < width * height; ++i) {
      std::uint32_t pixel = 0xFF000000U | (random() & 0xFFFFFFU);
      if (seeThrough && random() % 3 == 0) {
        pixel = 0;
      }
      image.pixels.push_back(pixel);
    }
    const std::string name = "picture" + std::to_string(pixmaps.size()) + ".gif";
    QImage copy(width, height, QImage::Format_ARGB32_Premultiplied);
    for (int y = 0; y < height; ++y) {
      std::memcpy(copy.scanLine(y), image.pixels.data() + static_cast<std::size_t>(y * width),
                  static_cast<std::size_t>(width) * 4);
    }
    pixmaps.push_back(QPixmap::fromImage(copy));
    const DecodedPicture kept = store.keep(name, std::move(image));
    return Picture{name, kept.width, kept.height, kept.handle};
  }

  PictureStore store;
  std::vector<QPixmap> pixmaps;  // by handle
  Form1 form;
  QPainter* painter = nullptr;
  Renderer* renderer = nullptr;
};

// The window's painting of the scene before the renderer, into an image of the
// scene's own size.
QColor toQColor(const Colour& colour) {
  return QColor(colour.red, colour.green, colour.blue);
}

void drawPicture(Stage& stage, QPainter& painter, const PictureBox& image) {
  if (!image.picture()) {
    return;
  }
  const QPointF corner(image.Left, image.Top);
  painter.save();
  painter.setClipRect(QRectF(corner, QSizeF(image.Width, image.Height)), Qt::IntersectClip);
  painter.drawPixmap(corner, stage.pixmaps[static_cast<std::size_t>(image.picture()->handle)]);
  painter.restore();
}

QImage paintedByQPainter(Stage& stage) {
  QImage scene(kSceneWidth, kSceneHeight, QImage::Format_RGB32);
  QPainter painter(&scene);
  Form1& form = stage.form;
  painter.fillRect(QRect(0, 0, kSceneWidth, kSceneHeight), toQColor(form.Form.BackColor));
  for (const PictureBox* image : form.pictures()) {
    drawPicture(stage, painter, *image);
  }
  painter.setPen(QPen(Qt::black, 1));
  stage.painter = &painter;
  form.Form_Paint();
  stage.painter = nullptr;
  for (const Label* label : form.labels()) {
    if (label->Visible) {
      painter.fillRect(QRectF(label->Left, label->Top, label->Width, label->Height),
                       toQColor(label->BackColor));
    }
  }
  for (const Line* line : form.lines()) {
    if (line->Visible) {
      painter.drawLine(QPointF(line->X1, line->Y1), QPointF(line->X2, line->Y2));
    }
  }
  return scene;
}

Frame composedByRenderer(Stage& stage) {
  Renderer renderer(stage.store);
  stage.renderer = &renderer;
  renderer.update(stage.form);
  stage.renderer = nullptr;
  return renderer.frame();
}

// Where the two differ: how many pixels, and the first.
std::string differences(const QImage& painted, const Frame& composed) {
  int count = 0;
  std::string first;
  for (int y = 0; y < kSceneHeight; ++y) {
    const auto* row = reinterpret_cast<const std::uint32_t*>(painted.constScanLine(y));
    for (int x = 0; x < kSceneWidth; ++x) {
      if (row[x] != composed.pixel(x, y) && count++ == 0) {
        first = std::to_string(x) + "," + std::to_string(y);
      }
    }
  }
  return count == 0 ? std::string() : std::to_string(count) + " pixels, the first at " + first;
}

// Positions as a game could never make them, and a few it does.
class Chooser {
 public:
  explicit Chooser(std::uint32_t seed) : random_(seed) {}

  int below(int n) { return static_cast<int>(random_() % static_cast<std::uint32_t>(n)); }
  bool chance(int percent) { return below(100) < percent; }
  // A coordinate from `from` to `to`, whole or with an awkward fraction.
  float place(int from, int to) {
    static const float kFractions[] = {0.0F,   0.5F,   0.25F,     0.75F,     0.49999997F,
                                       0.501F, 0.125F, 0.999999F, 0.000001F, 0.3F};
    const float whole = static_cast<float>(from + below(to - from + 1));
    const float fraction =
        chance(30) ? 0.0F : kFractions[below(static_cast<int>(std::size(kFractions)))];
    return chance(50) ? whole + fraction : whole - fraction;
  }

 private:
  std::mt19937 random_;
};

void scatter(Stage& stage, const std::vector<Picture>& pictures, Chooser& choose) {
  Form1& form = stage.form;
  form.Form.BackColor = rgb(choose.below(256), choose.below(256), choose.below(256));
  for (PictureBox* image : {&form.Image9, &form.Image8, &form.Image7, &form.Image6, &form.Image5,
                            &form.Image4, &form.Image3, &form.Image2, &form.Image1}) {
    if (choose.chance(85)) {
      image->setPicture(
          pictures[static_cast<std::size_t>(choose.below(static_cast<int>(pictures.size())))]);
    }
    image->Left = choose.place(-700, 600);
    image->Top = choose.place(-300, 400);
    if (choose.chance(50)) {
      image->Width = choose.place(-3, 700);
    }
    if (choose.chance(50)) {
      image->Height = choose.place(-3, 400);
    }
    if (choose.chance(10)) {
      // Far off, and still partly on the scene through a huge box.
      image->Left = choose.place(-2000000, 2000000);
      image->Width = 4000000;
    }
  }
  for (Label* label : {&form.Label1, &form.Label2, &form.Label3, &form.Label4, &form.Label5}) {
    label->Visible = choose.chance(70);
    label->Left = choose.place(-60, 560);
    label->Top = choose.place(-40, 360);
    label->Width = choose.place(-5, 120);
    label->Height = choose.place(-5, 60);
    label->BackColor = rgb(choose.below(256), choose.below(256), choose.below(256));
  }
  for (Line* line : {&form.Line6, &form.Line5, &form.Line4, &form.Line3, &form.Line2}) {
    line->Visible = choose.chance(80);
    line->X1 = choose.place(-50, 580);
    line->Y1 = choose.place(-50, 390);
    // Flat, steep, 45 degrees, a point, or anywhere.
    const int shape = choose.below(6);
    const float length = choose.place(0, 300);
    line->X2 = shape == 0 ? line->X1 + length : choose.place(-50, 580);
    line->Y2 = shape == 1 ? line->Y1 + length : choose.place(-50, 390);
    if (shape == 2) {
      line->X2 = line->X1 + length;
      line->Y2 = line->Y1 - length;
    } else if (shape == 3) {
      line->X2 = line->X1;
      line->Y2 = line->Y1;
    } else if (shape == 4) {
      line->X2 = line->X1 + choose.place(-20000, 20000);  // mostly off the scene
    }
  }
}

TEST(QPainterReference, TheRendererComposesWhatQPainterPainted) {
  Stage stage;
  std::vector<Picture> pictures;
  for (const auto& [width, height, seeThrough] : std::vector<std::tuple<int, int, bool>>{
           {1, 1, false},
           {2, 3, true},
           {114, 114, true},
           {140, 114, false},
           {600, 47, false},
           {700, 60, true},  // wider than the scene
           {360, 296, true},
           {57, 49, false},
           {40, 500, true},  // taller than the scene
       }) {
    pictures.push_back(
        stage.add(width, height, static_cast<std::uint32_t>(pictures.size()) + 1, seeThrough));
  }
  for (std::uint32_t seed = 1; seed <= 400; ++seed) {
    Chooser choose(seed);
    scatter(stage, pictures, choose);
    const std::string differ = differences(paintedByQPainter(stage), composedByRenderer(stage));
    ASSERT_EQ(differ, "") << "seed " << seed;
  }
}

// Lines alone, a great many of them: the stepping rounds at every slope.
TEST(QPainterReference, LinesTakeTheSamePixelsAtEverySlope) {
  Stage stage;
  Form1& form = stage.form;
  form.Label1.Visible = false;
  for (std::uint32_t seed = 1; seed <= 300; ++seed) {
    Chooser choose(seed);
    for (Line* line : {&form.Line6, &form.Line5, &form.Line4, &form.Line3, &form.Line2}) {
      line->Visible = true;
      line->X1 = choose.place(-30, 560);
      line->Y1 = choose.place(-30, 370);
      line->X2 = choose.place(-30, 560);
      line->Y2 = choose.place(-30, 370);
      if (choose.chance(30)) {
        // Whole ends, as the game's own lines have.
        line->X1 = std::round(line->X1.get());
        line->Y1 = std::round(line->Y1.get());
        line->X2 = std::round(line->X2.get());
        line->Y2 = std::round(line->Y2.get());
      }
    }
    const std::string differ = differences(paintedByQPainter(stage), composedByRenderer(stage));
    ASSERT_EQ(differ, "") << "seed " << seed;
  }
}

}  // namespace
}  // namespace torvin::scene
