#include "scenery.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <stdexcept>
#include <string>

#include "catalogue_sizes.h"

namespace torvin::art {
namespace {

// A small fixed random sequence, so every run draws the same pebbles and tufts.
class Dice {
 public:
  double next() {
    state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(state_ >> 11) / 9007199254740992.0;
  }
  double between(double low, double high) { return low + (high - low) * next(); }

 private:
  std::uint64_t state_ = 0x7042d1c3ULL;
};

constexpr double kTau = 2 * std::numbers::pi;

QImage blank(std::string_view file) {
  for (const auto& s : kSceneSizes) {
    if (s.file == file) {
      QImage image(s.width, s.height, QImage::Format_ARGB32_Premultiplied);
      image.fill(Qt::transparent);
      return image;
    }
  }
  throw std::out_of_range("no scenery " + std::string(file));
}

// Soil under a strip of grass. Every wave has a whole number of periods across the
// tile and every pebble is also drawn one tile to each side, so the tile repeats.
QImage ground() {
  QImage image = blank("bg001.gif");
  const double w = image.width();
  const double h = image.height();
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QLinearGradient soil(0, 0, 0, h);
  soil.setColorAt(0, QColor(128, 88, 52));
  soil.setColorAt(1, QColor(92, 60, 36));
  p.fillRect(image.rect(), soil);

  auto wave = [w](double x, int a, int b, double phase) {
    return std::sin(kTau * a * x / w + phase) + 0.5 * std::sin(kTau * b * x / w + 2 * phase);
  };
  // Darker layers in the soil.
  for (int layer = 0; layer < 3; ++layer) {
    QPainterPath band;
    const double base = 20 + 9 * layer;
    for (int x = 0; x <= static_cast<int>(w); x += 2) {
      const QPointF point(x, base + 1.6 * wave(x, 3 + layer, 7 + 2 * layer, layer));
      if (x == 0) {
        band.moveTo(point);
      } else {
        band.lineTo(point);
      }
    }
    p.setPen(QPen(QColor(84, 56, 34, 150), 2.2));
    p.setBrush(Qt::NoBrush);
    p.drawPath(band);
  }
  Dice dice;
  for (int i = 0; i < 70; ++i) {
    const double x = dice.between(0, w);
    const double y = dice.between(14, h - 2);
    const double r = dice.between(0.8, 2.2);
    const int shade = static_cast<int>(dice.between(120, 175));
    for (double copy : {-w, 0.0, w}) {
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(shade, shade - 14, shade - 30));
      p.drawEllipse(QPointF(x + copy, y), r * 1.4, r);
    }
  }
  // Grass: a green strip with tufts hanging over its lower edge.
  QPainterPath grass;
  grass.moveTo(0, 0);
  for (int x = 0; x <= static_cast<int>(w); x += 2) {
    grass.lineTo(x, 8 + 1.5 * wave(x, 5, 13, 0.7));
  }
  grass.lineTo(w, 0);
  grass.closeSubpath();
  QLinearGradient green(0, 0, 0, 10);
  green.setColorAt(0, QColor(96, 172, 58));
  green.setColorAt(1, QColor(62, 132, 40));
  p.setPen(Qt::NoPen);
  p.setBrush(green);
  p.drawPath(grass);
  for (int i = 0; i < 150; ++i) {
    const double x = dice.between(0, w);
    const double len = dice.between(2, 5);
    const double lean = dice.between(-1.5, 1.5);
    for (double copy : {-w, 0.0, w}) {
      p.setPen(QPen(QColor(52, 118, 34), 1.1, Qt::SolidLine, Qt::RoundCap));
      const double top = 7 + 1.5 * wave(x, 5, 13, 0.7);
      p.drawLine(QPointF(x + copy, top - 2), QPointF(x + copy + lean, top + len));
    }
  }
  p.setPen(QPen(QColor(132, 196, 84), 1.0));
  p.drawLine(QPointF(0, 0.5), QPointF(w, 0.5));
  return image;
}

// A cloud: overlapping puffs, white on top and grey-blue underneath.
QImage cloud(std::string_view file, std::initializer_list<QRectF> puffs) {
  QImage image = blank(file);
  QPainterPath shape;
  shape.setFillRule(Qt::WindingFill);
  for (const QRectF& puff : puffs)
    shape.addEllipse(puff);
  shape = shape.simplified();
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QRectF box = shape.boundingRect();
  QLinearGradient light(0, box.top(), 0, box.bottom());
  light.setColorAt(0, QColor(255, 255, 255));
  light.setColorAt(0.55, QColor(246, 250, 255));
  light.setColorAt(1, QColor(206, 220, 236));
  p.setPen(QPen(QColor(222, 234, 246), 1.0));
  p.setBrush(light);
  p.drawPath(shape);
  return image;
}

// The ramp: a wooden wedge whose surface runs from the bottom-left corner (0, 114)
// up to (88, 26), with the back post at the right.
QImage ramp() {
  QImage image = blank("bg006.gif");
  const double h = image.height();
  const double w = image.width();
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  QPainterPath wedge;
  wedge.moveTo(0, h);
  wedge.lineTo(88, h - 88);
  wedge.lineTo(w, h - 88);
  wedge.lineTo(w, h);
  wedge.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(186, 132, 74));
  p.drawPath(wedge);
  p.setClipPath(wedge);
  // Side boards.
  p.setPen(QPen(QColor(140, 94, 50), 1.0));
  for (double y = h - 6.5; y > h - 90; y -= 8)
    p.drawLine(QPointF(0, y), QPointF(w, y));
  // Frame: posts and a brace.
  p.setPen(QPen(QColor(112, 72, 38), 4.0));
  for (double x : {30.0, 60.0, 87.0})
    p.drawLine(QPointF(x, 0), QPointF(x, h));
  p.setPen(QPen(QColor(112, 72, 38), 3.0));
  p.drawLine(QPointF(30, h - 2), QPointF(87, h - 60));
  // The riding deck along the slope.
  p.setPen(QPen(QColor(222, 178, 112), 5.0));
  p.drawLine(QPointF(0, h + 2.5), QPointF(88 + 2.5, h - 88 + 2.5));
  p.setPen(QPen(QColor(96, 62, 32), 2.0));
  p.drawLine(QPointF(0, h - 1), QPointF(w, h - 1));
  return image;
}

// Far hills in pale haze, two ranges, their foot on the bottom row.
QImage hills() {
  QImage image = blank("bg007.gif");
  const double w = image.width();
  const double h = image.height();
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  auto range = [&](double base, double height, double a, double b, double phase, const QColor& top,
                   const QColor& foot) {
    QPainterPath shape;
    shape.moveTo(0, h);
    for (int x = 0; x <= static_cast<int>(w); ++x) {
      // Fades to nothing at both ends, so the range starts and ends on the ground.
      const double fade = std::sin(std::numbers::pi * x / w);
      const double ridge =
          0.55 + 0.3 * std::sin(kTau * a * x / w + phase) + 0.15 * std::sin(kTau * b * x / w);
      shape.lineTo(x, h - base - height * ridge * std::pow(fade, 0.6));
    }
    shape.lineTo(w, h);
    shape.closeSubpath();
    QLinearGradient haze(0, h - base - height, 0, h);
    haze.setColorAt(0, top);
    haze.setColorAt(1, foot);
    p.setPen(Qt::NoPen);
    p.setBrush(haze);
    p.drawPath(shape);
  };
  range(6, 120, 1.5, 4.5, 0.3, QColor(184, 206, 226), QColor(196, 218, 232));
  range(2, 70, 2.5, 6.5, 2.0, QColor(160, 196, 182), QColor(178, 208, 190));
  return image;
}

}  // namespace

QImage drawScenery(std::string_view file) {
  if (file == "bg001.gif")
    return ground();
  if (file == "bg003.gif") {
    return cloud(
        file,
        {{4, 24, 40, 30}, {22, 8, 44, 44}, {52, 14, 38, 36}, {74, 28, 42, 30}, {16, 34, 90, 26}});
  }
  if (file == "bg004.gif") {
    return cloud(
        file,
        {{4, 38, 44, 32}, {24, 16, 48, 48}, {58, 4, 46, 50}, {88, 26, 44, 40}, {18, 46, 104, 28}});
  }
  if (file == "bg005.gif") {
    return cloud(file, {{4, 26, 34, 26}, {24, 10, 40, 38}, {54, 20, 44, 32}, {12, 32, 84, 20}});
  }
  if (file == "bg006.gif")
    return ramp();
  if (file == "bg007.gif")
    return hills();
  throw std::out_of_range("no scenery " + std::string(file));
}

}  // namespace torvin::art
