// A label's caption laid out once for its box and font, and drawn from that
// layout as often as the window needs it: the same lines and glyphs at the same
// places as QPainter::drawText(box, AlignLeft | AlignTop | TextWordWrap,
// caption), which lays the text out and shapes it again at every call.
#pragma once

#include <QFont>
#include <QRect>
#include <QRectF>
#include <QString>
#include <QTextLayout>
#include <memory>

class QPainter;
class QPaintDevice;

namespace torvin::desktop {

class CaptionLayout {
 public:
  CaptionLayout(const QString& caption, const QRect& box, const QFont& font,
                const QPaintDevice* device);

  const QRect& box() const { return box_; }
  // The window's pixels the caption's ink can touch (none for an empty one).
  const QRect& reach() const { return reach_; }
  // Draws the caption, clipped to `area` (and to its box where the text would
  // go beyond it).
  void draw(QPainter& painter, const QRect& area) const;

 private:
  QRect box_;
  QRect reach_;
  std::unique_ptr<QTextLayout> layout_;  // none for an empty caption
  bool overflows_ = false;               // the text takes more room than the box
};

}  // namespace torvin::desktop
