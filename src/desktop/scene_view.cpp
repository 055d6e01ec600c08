#include "desktop/scene_view.h"

#include <QPainter>
#include <cmath>

namespace torvin::desktop {

namespace {

int floorOf(double value) {
  return static_cast<int>(std::floor(value));
}

int ceilOf(double value) {
  return static_cast<int>(std::ceil(value));
}

}  // namespace

SceneView::SceneView(const scene::Frame& frame)
    : frame_(frame),
      // Seen in place: Qt reads the renderer's pixels, never a copy of them.
      frameImage_(reinterpret_cast<const uchar*>(frame.data()), scene::kWidth, scene::kHeight,
                  scene::Frame::kStride * static_cast<qsizetype>(sizeof(std::uint32_t)),
                  QImage::Format_RGB32) {}

void SceneView::setFit(const SceneFit& fit, qreal devicePixelRatio) {
  shown_ = fit.sceneRect();
  ratio_ = devicePixelRatio;
  const int width = static_cast<int>(std::lround(shown_.width() * ratio_));
  const int height = static_cast<int>(std::lround(shown_.height() * ratio_));
  if (width == scene::kWidth && height == scene::kHeight) {
    scaler_.reset();
  } else {
    scaler_.emplace(width, height);
  }
}

scene::Rect SceneView::toDevice(const QRect& area) const {
  const int left = floorOf((area.left() - shown_.left()) * ratio_);
  const int top = floorOf((area.top() - shown_.top()) * ratio_);
  const int right = ceilOf((area.right() + 1 - shown_.left()) * ratio_);
  const int bottom = ceilOf((area.bottom() + 1 - shown_.top()) * ratio_);
  return {left, top, right - left, bottom - top};
}

QRect SceneView::shows(const scene::Rect& rect) const {
  if (!scaler_) {
    return QRect(rect.left, rect.top, rect.width, rect.height).translated(shown_.topLeft());
  }
  const scene::Rect device = scaler_->cover(rect);
  const int left = floorOf(device.left / ratio_);
  const int top = floorOf(device.top / ratio_);
  const int right = ceilOf(device.right() / ratio_);
  const int bottom = ceilOf(device.bottom() / ratio_);
  return QRect(left, top, right - left, bottom - top).translated(shown_.topLeft());
}

void SceneView::paint(QPainter& painter, const QRect& area) {
  const QRect part = area & shown_;
  if (part.isEmpty()) {
    return;
  }
  if (!scaler_) {
    painter.drawImage(part.topLeft(), frameImage_, part.translated(-shown_.topLeft()));
    return;
  }
  const scene::Rect device =
      toDevice(part).intersected({0, 0, scaler_->width(), scaler_->height()});
  if (device.empty()) {
    return;
  }
  const auto pixels =
      static_cast<std::size_t>(device.width) * static_cast<std::size_t>(device.height);
  if (scaled_.size() < pixels) {
    scaled_.resize(pixels);  // grown once, never cleared again
  }
  scaler_->scale(frame_, device, scaled_.data(), device.width);
  QImage image(reinterpret_cast<const uchar*>(scaled_.data()), device.width, device.height,
               device.width * static_cast<qsizetype>(sizeof(std::uint32_t)), QImage::Format_RGB32);
  if (ratio_ == 1) {
    painter.drawImage(QPoint(device.left, device.top) + shown_.topLeft(), image);
  } else {
    image.setDevicePixelRatio(ratio_);
    painter.drawImage(QPointF(device.left / ratio_, device.top / ratio_) + shown_.topLeft(), image);
  }
}

}  // namespace torvin::desktop
