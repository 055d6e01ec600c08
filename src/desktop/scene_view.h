// The renderer's frame in the window: copied pixel for pixel where the window
// shows the scene at its own size, scaled everywhere else (whole factors by
// repeating pixels, other factors smoothed), and always only the part asked
// for, so that a frame costs what changed in it.
#pragma once

#include <QImage>
#include <QRect>
#include <QRegion>
#include <cstdint>
#include <optional>
#include <vector>

#include "desktop/scene_fit.h"
#include "scene/frame.h"
#include "scene/scaler.h"

class QPainter;

namespace torvin::desktop {

class SceneView {
 public:
  explicit SceneView(const scene::Frame& frame);

  // Where the window shows the scene, and the window's device pixels per
  // pixel of its own.
  void setFit(const SceneFit& fit, qreal devicePixelRatio);

  // The window pixels that show the scene's `rect`.
  QRect shows(const scene::Rect& rect) const;
  // Paints the scene's part of `area` (a rectangle of the window).
  void paint(QPainter& painter, const QRect& area);

 private:
  // A rectangle of the window in device pixels, from the scene's top-left corner.
  scene::Rect toDevice(const QRect& area) const;

  const scene::Frame& frame_;
  QImage frameImage_;                    // the frame's own pixels, seen by Qt
  QRect shown_;                          // where the scene is, in the window
  qreal ratio_ = 1;                      // device pixels per window pixel
  std::optional<scene::Scaler> scaler_;  // unless one window pixel is one scene pixel
  std::vector<std::uint32_t> scaled_;    // the scaled pixels of one rectangle
};

}  // namespace torvin::desktop
