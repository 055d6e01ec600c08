// The window as the player sees it: its layout, and an image of it that shows
// the controls in their stacking order, clipped to their boxes.
#include <gtest/gtest.h>

#include <QListWidget>
#include <QPaintEvent>

#include "desktop/desktop_host.h"
#include "desktop/run_stats.h"
#include "support/desktop_support.h"

namespace torvin::desktop {
namespace {

using testing::PictureFolder;

// Assigns a solid picture of the test's own to a picture control.
void show(DesktopHost& host, PictureBox& image, const std::string& path) {
  const DecodedPicture decoded = host.loadPicture(path);
  image.setPicture(Picture{path, decoded.width, decoded.height, decoded.handle});
}

void place(PictureBox& image, float left, float top) {
  image.Left = left;
  image.Top = top;
}

TEST(Window, LayoutFocusAndTabOrder) {
  PictureFolder pictures;
  DesktopHost host(pictures.path());
  host.load();
  GameWindow& window = host.window();
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

  EXPECT_EQ(window.windowTitle(), QStringLiteral("Torvin"));
  EXPECT_EQ(window.size(), QSize(531, 343));
  EXPECT_EQ(window.minimumSize(), QSize(531, 343));
  EXPECT_GT(window.maximumSize().width(), 531 * 4) << "the window can grow";
  QPushButton& start = window.button(host.form().Command1);
  QPushButton& howTo = window.button(host.form().Command2);
  EXPECT_EQ(start.text(), QStringLiteral("Start"));
  EXPECT_EQ(start.geometry(), QRect(352, 312, 65, 25));
  EXPECT_EQ(howTo.text(), QStringLiteral("How to"));
  EXPECT_EQ(howTo.geometry(), QRect(416, 312, 49, 25));
  EXPECT_EQ(window.scoreList().geometry(), QRect(496, 16, 33, 314));
  EXPECT_EQ(QApplication::focusWidget(), &howTo);
  EXPECT_EQ(howTo.nextInFocusChain(), &start);

  host.form().Score.AddItem("35");
  host.form().Score.AddItem("0");
  window.refresh();
  ASSERT_EQ(window.scoreList().count(), 2);
  EXPECT_EQ(window.scoreList().item(1)->text(), QStringLiteral("0"));
}

TEST(Window, ImageShowsStackingOrderClippingAndHiddenControls) {
  PictureFolder pictures;
  DesktopHost host(pictures.path());
  host.load();
  Form1& form = host.form();
  const QColor red(Qt::red);
  const QColor green(Qt::green);
  const QColor blue(Qt::blue);

  // The far scenery (drawn first), a ground tile and the rider (drawn last of
  // the pictures), overlapping.
  show(host, form.Image9, pictures.solid("red.gif", {100, 100}, red));
  place(form.Image9, 150, 150);
  show(host, form.Image6, pictures.solid("blue.gif", {300, 60}, blue));
  place(form.Image6, 200, 280);
  show(host, form.Image1, pictures.solid("green.gif", {100, 100}, green));
  place(form.Image1, 200, 200);
  // A box narrower and lower than its picture clips it.
  show(host, form.Image8, pictures.solid("clipped.gif", {80, 80}, red));
  place(form.Image8, 300, 40);
  form.Image8.Width = 30;
  form.Image8.Height = 20;
  // A secret-trick label over the rider (moved there for the test), and the ramp
  // line over the rider.
  form.Label2.Visible = true;
  form.Label2.Left = 260;
  form.Label2.Top = 210;
  form.Label2.Caption = "";
  form.Line6.X1 = 200;
  form.Line6.X2 = 288;

  host.window().refresh();
  const QImage image = host.window().grab().toImage();
  ASSERT_EQ(image.size(), QSize(531, 343));
  auto at = [&image](int x, int y) { return image.pixelColor(x, y); };

  EXPECT_EQ(at(180, 180), red);
  EXPECT_EQ(at(220, 220), green) << "the rider is in front of the scenery";
  EXPECT_EQ(at(250, 290), green) << "the rider is in front of the ground tile";
  EXPECT_EQ(at(400, 310), blue);
  EXPECT_EQ(at(305, 45), red);
  EXPECT_EQ(at(335, 45), QColor(Qt::white)) << "clipped to Width";
  EXPECT_EQ(at(305, 65), QColor(Qt::white)) << "clipped to Height";
  EXPECT_EQ(at(250, 296), QColor(Qt::black)) << "the ground line";
  EXPECT_EQ(at(400, 296), QColor(Qt::black)) << "the ground line over the ground tile";
  EXPECT_EQ(at(280, 220), QColor(255, 128, 128)) << "a label over the rider";
  EXPECT_EQ(at(244, 252), QColor(Qt::black)) << "the ramp line over the rider";
  EXPECT_EQ(at(250, 306), blue) << "hidden lines draw nothing";
  EXPECT_EQ(at(10, 255), QColor(Qt::white)) << "hidden labels draw nothing";

  // A caption is written inside its label.
  form.Label2.Caption = "Secret trick 1";
  host.window().refresh();
  const QImage captioned = host.window().grab().toImage();
  int ink = 0;
  for (int y = 0; y < 343; ++y) {
    for (int x = 0; x < 531; ++x) {
      if (captioned.pixelColor(x, y) != image.pixelColor(x, y)) {
        ++ink;
        EXPECT_TRUE(QRect(260, 210, 49, 25).contains(x, y)) << x << "," << y;
      }
    }
  }
  EXPECT_GT(ink, 20);

  // After "Start" the background is the sky.
  form.Form.BackColor = rgb(150, 213, 255);
  host.window().refresh();
  EXPECT_EQ(host.window().grab().toImage().pixelColor(520, 340), QColor(150, 213, 255));
}

TEST(Window, RepaintsOnlyWhatChanged) {
  PictureFolder pictures;
  DesktopHost host(pictures.path());
  RunStats stats;
  stats.watch(host);
  host.load();
  Form1& form = host.form();
  // A rider to see move.
  show(host, form.Image1, pictures.file("01/002.jpg").toStdString());
  host.window().refresh();
  GameWindow& window = host.window();
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  testing::spin(50);
  testing::PaintCounter counter;
  window.installEventFilter(&counter);
  testing::PaintCounter widgets;
  for (QWidget* widget :
       {static_cast<QWidget*>(&window.button(form.Command1)),
        static_cast<QWidget*>(&window.button(form.Command2)), window.scoreList().viewport(),
        static_cast<QWidget*>(&window.scoreList())}) {
    widget->installEventFilter(&widgets);
  }
  QWidget& focus = *QApplication::focusWidget();

  // Z before its secret trick is unlocked does nothing; A only starts a manual,
  // which moves nothing on the screen.
  QTest::keyClick(&focus, Qt::Key_Z);
  QTest::keyClick(&focus, Qt::Key_A);
  testing::playFor(host, 300);
  EXPECT_EQ(stats.keys(), 2);
  EXPECT_EQ(counter.paints, 0);

  // H starts a hop: the hop timer lifts the rider at its next tick, and only
  // the rider's place is painted again; the buttons and the list, which did not
  // change, are not painted at all.
  QTest::keyClick(&focus, Qt::Key_H);
  ASSERT_TRUE(testing::playUntil(
      host, [&] { return counter.paints > 0; }, 1000));
  EXPECT_LE(counter.painted.boundingRect().width(), 114);
  EXPECT_TRUE(QRect(136, 100, 114, 200).contains(counter.painted.boundingRect()))
      << counter.painted.boundingRect().x() << "," << counter.painted.boundingRect().y();
  testing::playFor(host, 1500);  // the whole hop
  EXPECT_EQ(widgets.paints, 0);
}

TEST(Pictures, EachFileIsDecodedOnceAndABadOneIsNamed) {
  PictureFolder pictures;
  scene::PictureStore store;
  const std::string gif = pictures.file("bg003.gif").toStdString();
  const DecodedPicture first = store.load(gif);
  EXPECT_EQ(first.width, 1);
  EXPECT_EQ(first.height, 1);
  EXPECT_EQ(store.load(gif).handle, first.handle);
  EXPECT_EQ(store.decoded(), 1U);
  const DecodedPicture pose = store.load(pictures.file("01/009.jpg").toStdString());
  EXPECT_EQ(pose.width, 114);
  EXPECT_NE(pose.handle, first.handle);
  ASSERT_NE(store.sprite(pose.handle), nullptr);
  EXPECT_EQ(store.sprite(pose.handle)->width, 114);
  EXPECT_EQ(store.sprite(99), nullptr);

  const std::string missing = pictures.file("01/nowhere.jpg").toStdString();
  try {
    store.load(missing);
    FAIL() << "a missing file loaded";
  } catch (const PictureError& error) {
    EXPECT_NE(std::string(error.what()).find(missing), std::string::npos) << error.what();
  }
  QFile broken(pictures.file("01/017.jpg"));
  ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
  broken.write("not a picture");
  broken.close();
  EXPECT_THROW(store.load(pictures.file("01/017.jpg").toStdString()), PictureError);

  // The window's load finds the bad file and names it.
  DesktopHost host(pictures.path());
  try {
    host.load();
    FAIL() << "the window loaded with a broken picture";
  } catch (const PictureError& error) {
    EXPECT_NE(std::string(error.what()).find("017.jpg"), std::string::npos) << error.what();
  }
}

}  // namespace
}  // namespace torvin::desktop
