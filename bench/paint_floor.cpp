// paint_floor: what a Qt window costs to show a frame at all, with no game
// behind it: a window of the game's size that changes a rectangle of itself
// RATE times a second (a precise timer, one rectangle copied into the window,
// as the game's window does at its own size), for SECONDS, then prints its CPU
// time per wall second. The game's own CPU while riding, less this, is what
// the game adds.
//
//   paint_floor [WIDTH HEIGHT [RATE [SECONDS]]]   (default 531 47 30 20)
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace {

double cpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

class Window final : public QWidget {
 public:
  Window(int width, int height)
      : picture_(width, height, QImage::Format_RGB32), changed_(0, 0, width, height) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    resize(531, 343);
    picture_.fill(Qt::darkGreen);
  }
  void step() {
    ++frames_;
    picture_.fill(frames_ % 2 == 0 ? Qt::darkGreen : Qt::darkRed);
    update(changed_.translated(0, height() - changed_.height()));
  }
  long long frames() const { return frames_; }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    painter.setClipRect(changed_.translated(0, height() - changed_.height()));
    painter.drawImage(QPoint(0, height() - changed_.height()), picture_);
  }

 private:
  QImage picture_;
  QRect changed_;
  long long frames_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int width = argc > 2 ? std::atoi(argv[1]) : 531;
  const int height = argc > 2 ? std::atoi(argv[2]) : 47;
  const int rate = argc > 3 ? std::atoi(argv[3]) : 30;
  const double seconds = argc > 4 ? std::atof(argv[4]) : 20;
  Window window(width, height);
  window.show();
  QTimer tick;
  tick.setTimerType(Qt::PreciseTimer);
  tick.setInterval(1000 / rate);
  QObject::connect(&tick, &QTimer::timeout, &window, [&window] { window.step(); });
  double cpuAtStart = 0;
  QElapsedTimer wall;
  // A second to settle, then the measured time.
  QTimer::singleShot(1000, [&] {
    cpuAtStart = cpuSeconds();
    wall.start();
    tick.start();
  });
  QTimer::singleShot(static_cast<int>(1000 + seconds * 1000), [&] {
    const double cpu = cpuSeconds() - cpuAtStart;
    const double elapsed = static_cast<double>(wall.elapsed()) / 1000.0;
    std::printf("rectangle: %dx%d\nframes_per_second: %.2f\ncpu_percent_of_one_core: %.2f\n", width,
                height, static_cast<double>(window.frames()) / elapsed, 100.0 * cpu / elapsed);
    app.quit();
  });
  return QApplication::exec();
}
