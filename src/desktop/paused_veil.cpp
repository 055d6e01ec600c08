#include "desktop/paused_veil.h"

#include <QPainter>
#include <algorithm>
#include <cmath>

namespace torvin::desktop {

namespace {

// Dark enough that "Paused" reads in white over the sky, light enough that the
// scene stays in sight.
const QColor kVeil(0, 0, 0, 100);
constexpr int kWordPixels = 40;  // at scale 1

}  // namespace

PausedVeil::PausedVeil(QWidget* parent) : QWidget(parent), font_(parent->font()) {
  font_.setBold(true);
  font_.setStretch(QFont::Unstretched);
  setScale(1);
  hide();
}

void PausedVeil::setScale(double scale) {
  font_.setPixelSize(std::max(1, static_cast<int>(std::lround(kWordPixels * scale))));
  update();
}

void PausedVeil::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), kVeil);
  painter.setFont(font_);
  painter.setPen(Qt::white);
  painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("Paused"));
}

}  // namespace torvin::desktop
