// The window at any size: the scene scaled to fit with a border around it, the
// same scene pixel for pixel at whole factors, buttons and list where the scene
// puts them and taking the clicks there, F11, and the Score list in its narrow box.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QWindow>

#include "desktop/desktop_host.h"
#include "desktop/scene_fit.h"
#include "desktop/score_list.h"
#include "support/desktop_support.h"

namespace torvin::desktop {
namespace {

using testing::PictureFolder;

TEST(SceneFit, ScalesToTheNarrowerSideAndSnapsToWholeFactorsCloseBelow) {
  const SceneFit exact = fitScene(QSize(1062, 686));
  EXPECT_EQ(exact.scale, 2.0);
  EXPECT_EQ(exact.origin, QPoint(0, 0));
  EXPECT_TRUE(exact.whole());

  // A little more room than twice the scene: twice, centred, a border around.
  const SceneFit snapped = fitScene(QSize(1100, 700));
  EXPECT_EQ(snapped.scale, 2.0);
  EXPECT_EQ(snapped.sceneRect(), QRect(19, 7, 1062, 686));

  // A 1920 x 1080 screen: three times (a border of 26 pixels above and below)
  // rather than 3.15 times with soft pixels.
  const SceneFit full = fitScene(QSize(1920, 1080));
  EXPECT_EQ(full.scale, 3.0);
  EXPECT_EQ(full.sceneRect(), QRect(164, 26, 1593, 1029));

  const SceneFit soft = fitScene(QSize(1280, 1024));
  EXPECT_NEAR(soft.scale, 1280.0 / 531, 1e-9);
  EXPECT_FALSE(soft.whole());
  EXPECT_EQ(soft.sceneRect().width(), 1280);
  EXPECT_EQ(soft.sceneRect().center().y(), 512);

  // Smaller than the scene (a tiling window manager): shrunk, not cut.
  const SceneFit small = fitScene(QSize(400, 300));
  EXPECT_LT(small.scale, 1.0);
  EXPECT_TRUE(QRect(0, 0, 400, 300).contains(small.sceneRect()));

  EXPECT_EQ(zoomedSize(2), QSize(1062, 686));
  EXPECT_EQ(zoomedSize(1.5), QSize(797, 515));
}

TEST(SceneFit, BoxesThatTouchInTheSceneTouchWhenScaled) {
  const SceneFit fit = fitScene(zoomedSize(1.7));
  // Start and How to share the edge x = 416 .. 417 of the layout.
  const QRect start = fit.map(QRectF(352, 312, 65, 25));
  const QRect howTo = fit.map(QRectF(416, 312, 49, 25));
  EXPECT_EQ(start.right() + 1, fit.map(QRectF(417, 312, 1, 1)).left());
  EXPECT_EQ(howTo.left(), fit.map(QRectF(416, 0, 1, 1)).left());
  EXPECT_EQ(fit.map(QRectF(0, 0, 10, 10)).right() + 1, fit.map(QRectF(10, 0, 10, 10)).left());
}

// A scene with everything a frame can hold, at awkward places: pictures at
// fractional positions and clipped by their box, the ramp line, the ground line,
// and labels with and without a caption.
class ScaledScene : public ::testing::Test {
 protected:
  void SetUp() override {
    host.load();
    Form1& form = host.form();
    form.Form.BackColor = rgb(150, 213, 255);
    show(form.Image9, pictures.solid("red.gif", {60, 40}, Qt::red), 100.5F, 60.25F);
    show(form.Image1, pictures.file("01/002.jpg").toStdString(), 136, 175.7F);
    show(form.Image6, pictures.solid("blue.gif", {300, 60}, Qt::blue), 200, 281.4F);
    form.Image6.Width = 150;
    form.Line6.X1 = 40;
    form.Line6.X2 = 128;
    form.Label2.Visible = true;
    form.Label2.Caption = "";
    form.Label3.Visible = true;
    form.Label3.Caption = "Secret trick 2 - X";
  }

  void show(PictureBox& image, const std::string& path, float left, float top) {
    const DecodedPicture decoded = host.loadPicture(path);
    image.setPicture(Picture{path, decoded.width, decoded.height, decoded.handle});
    image.Left = left;
    image.Top = top;
  }

  // What the window paints itself (the scene and the captions), at `size`.
  QImage paint(QSize size) {
    GameWindow& window = host.window();
    window.resize(size);
    QImage image(size, QImage::Format_RGB32);
    window.render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    return image;
  }

  PictureFolder pictures;
  DesktopHost host{pictures.path()};
};

TEST_F(ScaledScene, AtWholeFactorsEveryScenePixelBecomesASquare) {
  const QImage one = paint(zoomedSize(1));
  // Label1 ("Score") and Label3, whose captions are written sharp.
  const QRect heading(496, 0, 33, 17);
  const QRect caption(0, 248, 49, 25);
  for (const int factor : {2, 3}) {
    const QImage scaled = paint(zoomedSize(factor));
    ASSERT_EQ(scaled.size(), one.size() * factor);
    int differences = 0;
    for (int y = 0; y < scaled.height(); ++y) {
      for (int x = 0; x < scaled.width(); ++x) {
        const QPoint scene(x / factor, y / factor);
        if (!caption.contains(scene) && !heading.contains(scene) &&
            scaled.pixel(x, y) != one.pixel(scene)) {
          ++differences;
        }
      }
    }
    EXPECT_EQ(differences, 0) << "factor " << factor;
    // The caption is there, written in the label, at the finer resolution.
    int ink = 0;
    for (int y = caption.top() * factor; y <= caption.bottom() * factor; ++y) {
      for (int x = caption.left() * factor; x <= caption.right() * factor; ++x) {
        ink += qGray(scaled.pixel(x, y)) < 100 ? 1 : 0;
      }
    }
    EXPECT_GT(ink, 20 * factor * factor) << "factor " << factor;
  }
}

TEST_F(ScaledScene, AWiderWindowShowsTheSceneCentredInAPlainBorder) {
  const QImage one = paint(zoomedSize(1));
  const QImage wide = paint(QSize(1262, 700));  // twice the scene, and room to spare
  const QRect shown = host.window().fit().sceneRect();
  ASSERT_EQ(shown, QRect(100, 7, 1062, 686));
  const QRgb border = wide.pixel(0, 0);
  EXPECT_EQ(qRed(border), qGreen(border));
  EXPECT_EQ(qGreen(border), qBlue(border)) << "a neutral grey";
  for (const QPoint corner :
       {QPoint(99, 350), QPoint(1162, 350), QPoint(600, 6), QPoint(600, 693), QPoint(1261, 699)}) {
    EXPECT_EQ(wide.pixel(corner), border) << corner.x() << "," << corner.y();
  }
  for (const QPoint scene : {QPoint(0, 0), QPoint(110, 70), QPoint(250, 296), QPoint(530, 342)}) {
    EXPECT_EQ(wide.pixel(shown.topLeft() + scene * 2), one.pixel(scene))
        << scene.x() << "," << scene.y();
  }
}

TEST_F(ScaledScene, OtherFactorsAreSmoothed) {
  const QImage one = paint(zoomedSize(1));
  const QImage soft = paint(zoomedSize(1.5));
  ASSERT_FALSE(host.window().fit().whole());
  EXPECT_EQ(host.window().fit().sceneRect(), QRect(QPoint(), soft.size()));
  // Inside the red picture and in the sky the colours are the same...
  EXPECT_EQ(soft.pixel(180, 120), one.pixel(120, 80));
  EXPECT_EQ(soft.pixel(30, 30), one.pixel(20, 20));
  // ...and along its edge they blend with the sky.
  bool blended = false;
  for (int x = 140; x < 160; ++x) {
    const QColor colour = soft.pixelColor(x, 120);
    blended |= colour != QColor(Qt::red) && colour != QColor(150, 213, 255);
  }
  EXPECT_TRUE(blended);
}

// A shown window at a given size, to click on.
class ScaledWidgets : public ::testing::TestWithParam<QSize> {
 protected:
  void SetUp() override {
    host.load();
    window().resize(GetParam());
    window().show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window()));
    ASSERT_EQ(window().size(), GetParam());
  }
  GameWindow& window() { return host.window(); }
  // A click at a point of the window, delivered as the window system would: to
  // whatever widget is drawn there.
  void clickAt(QPoint point) {
    QTest::mouseClick(window().windowHandle(), Qt::LeftButton, Qt::NoModifier, point);
  }

  PictureFolder pictures;
  DesktopHost host{pictures.path()};
};

TEST_P(ScaledWidgets, ButtonsAndListSitWhereTheSceneIsDrawnAndTakeTheClicks) {
  const SceneFit& fit = window().fit();
  Form1& form = host.form();
  QPushButton& start = window().button(form.Command1);
  EXPECT_EQ(start.geometry(), fit.map(QRectF(352, 312, 65, 25)));
  EXPECT_EQ(window().button(form.Command2).geometry(), fit.map(QRectF(416, 312, 49, 25)));
  EXPECT_EQ(window().scoreList().geometry(), fit.map(QRectF(496, 16, 33, 314)));
  EXPECT_EQ(start.font().pixelSize(), qRound(11 * fit.scale));

  // Where Start lies in the layout's own pixels there is scenery now: a click
  // there does nothing.
  if (fit.scale >= 1.5) {
    clickAt(QPoint(384, 324));
    testing::playFor(host, 50);
    EXPECT_TRUE(form.Command1.Enabled);
  }
  clickAt(start.geometry().center());
  EXPECT_TRUE(testing::playUntil(host, [&form] { return !form.Command1.Enabled; }))
      << "Start was clicked";
  EXPECT_EQ(form.Form.BackColor.get(), rgb(150, 213, 255));
}

INSTANTIATE_TEST_SUITE_P(Sizes, ScaledWidgets,
                         ::testing::Values(zoomedSize(1), zoomedSize(2), zoomedSize(1.5),
                                           QSize(1300, 700)),
                         [](const ::testing::TestParamInfo<QSize>& size) {
                           return std::to_string(size.param.width()) + "x" +
                                  std::to_string(size.param.height());
                         });

class FullScreen : public testing::ShownWindow {};

TEST_F(FullScreen, F11SwitchesItOnAndOffAndTheGameStillHearsTheKey) {
  GameWindow& window = host.window();
  ASSERT_EQ(QApplication::focusWidget(), &howTo());

  QTest::keyClick(&howTo(), Qt::Key_F11);
  EXPECT_TRUE(window.fullScreen());
  testing::playUntil(host, [this] { return stats.keys() == 1; });
  EXPECT_EQ(stats.keys(), 1);
  ASSERT_TRUE(testing::spinUntil([&] { return window.size() != zoomedSize(1); }, 2000));
  EXPECT_EQ(window.fit(), fitScene(window.size()));

  // From the Score list too, which takes keys of its own.
  window.scoreList().setFocus();
  QTest::keyClick(&window.scoreList(), Qt::Key_F11);
  EXPECT_FALSE(window.fullScreen());
  testing::playUntil(host, [this] { return stats.keys() == 2; });
  EXPECT_EQ(stats.keys(), 2);
}

// Whether the list shows its line `row` whole, from top to bottom.
bool inSight(const QListWidget& list, int row) {
  const QRect line = list.visualItemRect(list.item(row));
  return line.top() >= 0 && line.bottom() < list.viewport()->height();
}

TEST(ScoreList, ShowsTheNewestAndEveryScoreWholeAtEverySize) {
  PictureFolder pictures;
  DesktopHost host(pictures.path());
  host.load();
  GameWindow& window = host.window();
  auto& list = dynamic_cast<ScoreList&>(window.scoreList());
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const std::vector<std::string> scores = {"0", "35", "999", "1000", "12345", "32767"};
  for (int run = 0; run < 40; ++run) {
    host.form().Score.AddItem(scores[static_cast<std::size_t>(run) % scores.size()]);
  }
  window.refresh();

  for (const QSize size : {zoomedSize(1), zoomedSize(2), zoomedSize(1.5), QSize(531, 700)}) {
    window.resize(size);
    testing::spin(20);
    const double scale = window.fit().scale;
    SCOPED_TRACE(scale);
    ASSERT_EQ(list.count(), 40);
    ASSERT_TRUE(list.verticalScrollBar()->isVisible());
    EXPECT_LE(list.verticalScrollBar()->width(), qRound(4 * scale));
    // The newest line is in sight.
    EXPECT_TRUE(inSight(list, 39));
    for (int row = 0; row < list.count(); ++row) {
      const QListWidgetItem& item = *list.item(row);
      const int width = QFontMetrics(item.font()).horizontalAdvance(item.text());
      EXPECT_LE(width, list.textRoom()) << item.text().toStdString();
      EXPECT_GE(item.font().pixelSize(), qRound(7 * scale)) << item.text().toStdString();
      EXPECT_TRUE(item.toolTip().isEmpty());
    }
    // Short scores keep the window's small font.
    EXPECT_EQ(list.item(1)->font().pixelSize(), qRound(11 * scale));
  }

  // A new score scrolls into sight even after the player scrolled up.
  list.scrollToTop();
  host.form().Score.AddItem("7");
  window.refresh();
  EXPECT_TRUE(inSight(list, 40));
}

}  // namespace
}  // namespace torvin::desktop
