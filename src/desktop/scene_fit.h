// How the game's 531 x 343 scene is shown in a window of any size: scaled by one
// factor for both directions, so that it keeps its shape, and centred, with a
// border around it where the window's shape differs.
#pragma once

#include <QRect>
#include <QRectF>
#include <QSize>

namespace torvin::desktop {

// The scene's own size, in the units of the game's coordinates.
inline constexpr int kSceneWidth = 531;
inline constexpr int kSceneHeight = 343;

struct SceneFit {
  double scale = 1.0;
  QPoint origin;  // the scene's top-left corner in the window, in whole pixels

  // Whether every scene pixel becomes a whole square of window pixels.
  bool whole() const;
  // Where the scene, or a box of it, is drawn in the window. Edges are rounded
  // one by one, so that boxes that touch in the scene still touch.
  QRect map(const QRectF& box) const;
  QRect sceneRect() const { return map(QRectF(0, 0, kSceneWidth, kSceneHeight)); }

  bool operator==(const SceneFit&) const = default;
};

// The largest scale at which the scene fits `window`. A scale a little above a
// whole factor (up to 5 % more) is taken down to it: a slightly wider border
// buys pictures drawn with square, sharp pixels. A window smaller than the
// scene (a tiling window manager may force one) shrinks it.
SceneFit fitScene(QSize window);

// The window size that shows the scene at `zoom` times its size.
QSize zoomedSize(double zoom);

}  // namespace torvin::desktop
