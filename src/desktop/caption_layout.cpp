#include "desktop/caption_layout.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLine>
#include <QTextOption>
#include <cmath>

namespace torvin::desktop {

namespace {

// The text as drawText() takes it: a line feed starts a new line, a carriage
// return and a tab count as blanks.
QString asDrawn(QString text) {
  for (QChar& c : text) {
    if (c == u'\n') {
      c = QChar::LineSeparator;
    } else if (c == u'\r' || c == u'\t') {
      c = u' ';
    }
  }
  return text;
}

}  // namespace

CaptionLayout::CaptionLayout(const QString& caption, const QRect& box, const QFont& font,
                             const QPaintDevice* device)
    : box_(box) {
  if (caption.isEmpty()) {
    return;
  }
  layout_ = std::make_unique<QTextLayout>(asDrawn(caption), font, device);
  layout_->setCacheEnabled(true);
  QTextOption option;
  option.setTextDirection(Qt::LeftToRight);
  option.setAlignment(Qt::AlignLeft);
  layout_->setTextOption(option);
  // Lines as wide as the box, each starting on a whole pixel below the one
  // before, until they fill the box's height.
  const QRectF room(box);
  const qreal leading = QFontMetricsF(layout_->font()).leading();
  qreal height = -leading;
  qreal width = 0;
  layout_->beginLayout();
  for (QTextLine line = layout_->createLine(); line.isValid(); line = layout_->createLine()) {
    line.setLineWidth(std::max<qreal>(0, room.width()));
    height = std::ceil(height + leading);
    line.setPosition(QPointF(0, height));
    height += line.ascent() + line.descent() +
              (line.leadingIncluded() ? std::max<qreal>(0, line.leading()) : 0);
    width = std::max(width, line.naturalTextWidth());
    if (height >= room.height()) {
      break;
    }
  }
  layout_->endLayout();
  overflows_ = !room.contains(QRectF(room.x(), room.y(), width, height));
  // The lines' bounds and a little more: a glyph's edge may reach past its
  // advance.
  constexpr int kInkMargin = 2;
  reach_ = layout_->boundingRect()
               .translated(room.topLeft())
               .toAlignedRect()
               .adjusted(-kInkMargin, -kInkMargin, kInkMargin, kInkMargin);
  if (overflows_) {
    reach_ &= box_;
  }
}

void CaptionLayout::draw(QPainter& painter, const QRect& area) const {
  if (!layout_) {
    return;
  }
  const QRect clip = area & reach_;
  if (clip.isEmpty()) {
    return;
  }
  painter.save();
  painter.setClipRect(clip);
  const QPointF origin(QRectF(box_).topLeft());
  for (int i = 0; i < layout_->lineCount(); ++i) {
    layout_->lineAt(i).draw(&painter, origin);
  }
  painter.restore();
}

}  // namespace torvin::desktop
