#include "desktop/scene_fit.h"

#include <algorithm>
#include <cmath>

namespace torvin::desktop {

namespace {

// How far above a whole factor a scale is still taken down to it.
constexpr double kSnap = 0.05;

int edge(double value) {
  return static_cast<int>(std::lround(value));
}

}  // namespace

bool SceneFit::whole() const {
  return scale == std::floor(scale);
}

QRect SceneFit::map(const QRectF& box) const {
  const int left = origin.x() + edge(box.left() * scale);
  const int top = origin.y() + edge(box.top() * scale);
  const int right = origin.x() + edge(box.right() * scale);
  const int bottom = origin.y() + edge(box.bottom() * scale);
  return QRect(left, top, right - left, bottom - top);
}

SceneFit fitScene(QSize window) {
  const double fits = std::min(static_cast<double>(window.width()) / kSceneWidth,
                               static_cast<double>(window.height()) / kSceneHeight);
  double scale = fits;
  const double whole = std::floor(scale);
  if (whole >= 1.0 && scale - whole <= kSnap * scale) {
    scale = whole;
  }
  SceneFit fit;
  fit.scale = scale;
  fit.origin = QPoint(edge((window.width() - kSceneWidth * scale) / 2),
                      edge((window.height() - kSceneHeight * scale) / 2));
  return fit;
}

QSize zoomedSize(double zoom) {
  return QSize(edge(kSceneWidth * zoom), edge(kSceneHeight * zoom));
}

}  // namespace torvin::desktop
