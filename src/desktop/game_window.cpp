#include "desktop/game_window.h"

#include <QCloseEvent>
#include <QPainter>

#include "desktop/picture_store.h"

namespace torvin::desktop {

namespace {

QColor toQColor(const Colour& colour) {
  return QColor(colour.red, colour.green, colour.blue);
}

QRect toQRect(const Rect& rect) {
  return QRectF(rect.left, rect.top, rect.width, rect.height).toRect();
}

QString toQString(const std::string& text) {
  return QString::fromStdString(text);
}

constexpr int kCaptionFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;

// The largest of the window's small font sizes at which the caption fits its
// label, so that a long caption ("Secret trick 1 - Z") keeps its last word.
QFont fittingFont(QFont font, const QRectF& box, const QString& caption) {
  constexpr int kLargest = 11;
  constexpr int kSmallest = 7;
  for (int size = kLargest; size > kSmallest; --size) {
    font.setPixelSize(size);
    const QRectF needed = QFontMetricsF(font).boundingRect(box, kCaptionFlags, caption);
    if (needed.width() <= box.width() + 0.5 && needed.height() <= box.height() + 0.5) {
      return font;
    }
  }
  font.setPixelSize(kSmallest);
  return font;
}

}  // namespace

GameWindow::GameWindow(Form1& form, const PictureStore& pictures, ClickHandler onClick)
    : form_(form),
      pictures_(pictures),
      command1_(new QPushButton(this)),
      command2_(new QPushButton(this)),
      score_(new QListWidget(this)) {
  setFixedSize(kClientWidth, kClientHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Small captions, as on the window's own buttons and labels.
  QFont small = font();
  small.setPixelSize(11);
  small.setStretch(QFont::SemiCondensed);
  setFont(small);

  command1_->setGeometry(toQRect(form_.Command1.rect));
  command2_->setGeometry(toQRect(form_.Command2.rect));
  score_->setGeometry(toQRect(form_.Score.rect));
  score_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  score_->setTextElideMode(Qt::ElideNone);  // a score is shown whole, as far as it fits
  score_->setSelectionMode(QAbstractItemView::SingleSelection);

  // "How to" comes first in the tab order and has the focus at start-up.
  setTabOrder(command2_, command1_);
  setTabOrder(command1_, score_);
  command2_->setFocus();

  connect(command1_, &QPushButton::clicked, this, [this, onClick] { onClick(form_.Command1); });
  connect(command2_, &QPushButton::clicked, this, [this, onClick] { onClick(form_.Command2); });
  refresh();
}

QPushButton& GameWindow::button(const CommandButton& button) {
  return &button == &form_.Command1 ? *command1_ : *command2_;
}

void GameWindow::refresh() {
  setWindowTitle(toQString(form_.Form.Caption));
  for (const CommandButton* model : {&form_.Command1, &form_.Command2}) {
    QPushButton& widget = button(*model);
    widget.setText(toQString(model->Caption));
    widget.setEnabled(model->Enabled);
  }
  const auto& items = form_.Score.items();
  for (auto row = static_cast<std::size_t>(score_->count()); row < items.size(); ++row) {
    score_->addItem(toQString(items[row]));
  }
  update();
}

void GameWindow::drawLine(float x1, float y1, float x2, float y2) {
  if (painter_ != nullptr) {
    painter_->drawLine(QPointF(x1, y1), QPointF(x2, y2));
  }
}

void GameWindow::drawPicture(QPainter& painter, const PictureBox& image) const {
  if (!image.picture()) {
    return;
  }
  const QPointF corner(image.Left, image.Top);
  painter.save();
  painter.setClipRect(QRectF(corner, QSizeF(image.Width, image.Height)), Qt::IntersectClip);
  painter.drawPixmap(corner, pictures_.pixmap(image.picture()->handle));
  painter.restore();
}

const QFont& GameWindow::captionFont(std::size_t label, const QSizeF& box, const QString& caption) {
  FittedCaption& fitted = fitted_.at(label);
  if (fitted.caption != caption || fitted.box != box) {
    fitted = {caption, box, fittingFont(font(), QRectF(QPointF(), box), caption)};
  }
  return fitted.font;
}

void GameWindow::closeEvent(QCloseEvent* event) {
  if (closing_) {
    event->ignore();
    closing_();
  }
}

void GameWindow::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  painter.fillRect(rect(), toQColor(form_.Form.BackColor));
  // Each control over the ones before it: the scenery, the rider, then the ground.
  for (const PictureBox* image : form_.pictures()) {
    drawPicture(painter, *image);
  }
  // The ground line lies over the ground tiles, so that the ground keeps its edge.
  painter.setPen(QPen(Qt::black, 1));
  painter_ = &painter;
  form_.Form_Paint();
  painter_ = nullptr;
  for (std::size_t index = 0; index < form_.labels().size(); ++index) {
    const Label* label = form_.labels()[index];
    if (!label->Visible) {
      continue;
    }
    const QRectF box(label->Left, label->Top, label->Width, label->Height);
    const QString caption = toQString(label->Caption);
    painter.fillRect(box, toQColor(label->BackColor));
    painter.setFont(captionFont(index, box.size(), caption));
    painter.drawText(box, kCaptionFlags, caption);
  }
  for (const Line* line : form_.lines()) {
    if (line->Visible) {
      painter.drawLine(QPointF(line->X1, line->Y1), QPointF(line->X2, line->Y2));
    }
  }
  if (painted_) {
    painted_();
  }
}

}  // namespace torvin::desktop
