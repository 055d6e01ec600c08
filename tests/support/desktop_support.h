// Helpers for driving the desktop window in tests: a folder of stand-in pictures,
// waiting on the event loop, and a player who closes message boxes.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPushButton>
#include <QRegion>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string>
#include <vector>

#include "desktop/desktop_host.h"
#include "desktop/run_stats.h"
#include "shell/form1.h"
#include "support/picture_bytes.h"

namespace torvin::desktop::testing {

// The smallest GIF there is: one transparent pixel.
inline const QByteArray kOnePixelGif = QByteArray::fromHex(
    "47494638396101000100800000ffffff00000021f90401000000002c00000000010001000002024401003b");

inline void writeGif(const QString& path) {
  QFile file(path);
  file.open(QIODevice::WriteOnly);
  file.write(kOnePixelGif);
}

inline void writeJpeg(const QString& path, QSize size, QColor colour) {
  QImage image(size, QImage::Format_RGB32);
  image.fill(colour);
  image.save(path, "JPG", 100);
}

// Every picture of the game in a temporary folder: grey 114 x 114 poses and
// one-pixel backgrounds.
class PictureFolder {
 public:
  PictureFolder() {
    for (const std::string& name : Form1::pictureCatalogue()) {
      const QString path = file(name);
      QDir().mkpath(QFileInfo(path).path());
      if (name.ends_with(".gif")) {
        writeGif(path);
      } else {
        writeJpeg(path, QSize(114, 114), Qt::gray);
      }
    }
  }
  std::string path() const { return dir_.path().toStdString(); }
  QString file(const std::string& name) const {
    return dir_.filePath(QString::fromStdString(name));
  }
  // A solid picture for a test's own drawings, as a GIF (exact colours).
  std::string solid(const std::string& name, QSize size, QColor colour) const {
    torvin::testing::GifPlan plan = torvin::testing::gifScreen(size.width(), size.height());
    plan.colours = {colour.rgb() & 0xFFFFFFU};
    plan.images.push_back(
        {0, 0, size.width(), size.height(),
         std::vector<std::uint8_t>(static_cast<std::size_t>(size.width() * size.height()), 0),
         false, -1});
    const torvin::testing::Bytes bytes = torvin::testing::makeGif(plan);
    QFile out(file(name));
    out.open(QIODevice::WriteOnly);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return file(name).toStdString();
  }

 private:
  QTemporaryDir dir_;
};

// Runs the event loop for `ms` milliseconds.
inline void spin(int ms) {
  QTest::qWait(ms);
}

// Runs the event loop until `done` or `ms` milliseconds have passed.
inline bool spinUntil(const std::function<bool()>& done, int ms = 5000) {
  QElapsedTimer clock;
  clock.start();
  while (!done() && clock.elapsed() < ms) {
    QTest::qWait(5);
  }
  return done();
}

// A loaded game whose window is shown and active, with "How to" in the focus,
// and its figures counted.
class ShownWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    stats.watch(host);
    host.load();
    host.window().show();
    host.window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host.window()));
  }
  QPushButton& start() { return host.window().button(host.form().Command1); }
  QPushButton& howTo() { return host.window().button(host.form().Command2); }

  PictureFolder pictures;
  DesktopHost host{pictures.path()};
  RunStats stats;
};

// Plays the game in the window until `done` holds (looked at every 2 ms) or
// `ms` milliseconds have passed; then the game stops, as if the window had
// been closed. Returns whether `done` held. The game can be played on after.
inline bool playUntil(DesktopHost& host, const std::function<bool()>& done, int ms = 5000) {
  QElapsedTimer clock;
  clock.start();
  QTimer poll;
  poll.setInterval(2);
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (done() || clock.elapsed() >= ms) {
      poll.stop();
      host.end();
    }
  });
  poll.start();
  host.run();
  return done();
}

inline void playFor(DesktopHost& host, int ms) {
  playUntil(
      host, [] { return false; }, ms);
}

// A player who reads every message box of the game that opens and closes it
// with OK after `holdMs`. `onOpen` runs once per box when it is seen,
// `whileOpen` just before it is closed.
class BoxCloser {
 public:
  using Callback = std::function<void(QMessageBox&)>;

  BoxCloser(const DesktopHost& host, int holdMs, Callback whileOpen = {}, Callback onOpen = {})
      : host_(host), holdMs_(holdMs), whileOpen_(std::move(whileOpen)), onOpen_(std::move(onOpen)) {
    poll_.setInterval(5);
    QObject::connect(&poll_, &QTimer::timeout, [this] { look(); });
    poll_.start();
  }

  const std::vector<QString>& texts() const { return texts_; }

 private:
  void look() {
    const std::vector<QMessageBox*>& boxes = host_.openMessageBoxes();
    QMessageBox* box = boxes.empty() ? nullptr : boxes.back();
    if (box == nullptr || !box->isVisible()) {
      return;
    }
    if (box != current_) {
      current_ = box;
      texts_.push_back(box->text());
      opened_.start();
      if (onOpen_) {
        onOpen_(*box);
      }
      return;
    }
    if (opened_.elapsed() >= holdMs_) {
      current_ = nullptr;
      if (whileOpen_) {
        whileOpen_(*box);
      }
      box->button(QMessageBox::Ok)->click();
    }
  }

  const DesktopHost& host_;
  int holdMs_;
  Callback whileOpen_;
  Callback onOpen_;
  QTimer poll_;
  QMessageBox* current_ = nullptr;
  QElapsedTimer opened_;
  std::vector<QString> texts_;
};

// Counts the paint events a widget receives, and where they paint.
class PaintCounter final : public QObject {
 public:
  int paints = 0;
  QRegion painted;  // all the paint events asked for
  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      ++paints;
      painted += static_cast<QPaintEvent*>(event)->region();
    }
    return false;
  }
};

}  // namespace torvin::desktop::testing
