#include "desktop/game_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <cmath>

#include "desktop/picture_store.h"
#include "desktop/score_list.h"
#include "desktop/window_system.h"

namespace torvin::desktop {

namespace {

// Around the scene where the window's shape differs from the scene's.
const QColor kBorder(48, 48, 48);

QColor toQColor(const Colour& colour) {
  return QColor(colour.red, colour.green, colour.blue);
}

QRectF toQRectF(const Rect& rect) {
  return QRectF(rect.left, rect.top, rect.width, rect.height);
}

QString toQString(const std::string& text) {
  return QString::fromStdString(text);
}

constexpr int kCaptionFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
// The window's small font, in pixels at scale 1, and the smallest a caption may
// shrink to.
constexpr int kSmallFont = 11;
constexpr int kSmallestCaption = 7;

int scaledPixels(int pixels, double scale) {
  return std::max(1, static_cast<int>(std::lround(pixels * scale)));
}

// The largest of the window's small font sizes (at `scale`) at which the caption
// fits its label, so that a long caption ("Secret trick 1 - Z") keeps its last
// word.
QFont fittingFont(QFont font, const QRectF& box, const QString& caption, double scale) {
  for (int size = kSmallFont; size > kSmallestCaption; --size) {
    font.setPixelSize(scaledPixels(size, scale));
    const QRectF needed = QFontMetricsF(font).boundingRect(box, kCaptionFlags, caption);
    if (needed.width() <= box.width() + 0.5 && needed.height() <= box.height() + 0.5) {
      return font;
    }
  }
  font.setPixelSize(scaledPixels(kSmallestCaption, scale));
  return font;
}

}  // namespace

GameWindow::GameWindow(Form1& form, const PictureStore& pictures, ClickHandler onClick)
    : form_(form),
      pictures_(pictures),
      command1_(new QPushButton(this)),
      command2_(new QPushButton(this)),
      score_(new ScoreList(this)),
      scene_(kSceneWidth, kSceneHeight, QImage::Format_RGB32) {
  setMinimumSize(kSceneWidth, kSceneHeight);
  resize(kSceneWidth, kSceneHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Small captions, as on the window's own buttons and labels.
  small_ = font();
  small_.setPixelSize(kSmallFont);
  small_.setStretch(QFont::SemiCondensed);
  setFont(small_);

  // "How to" comes first in the tab order and has the focus at start-up.
  setTabOrder(command2_, command1_);
  setTabOrder(command1_, score_);
  command2_->setFocus();

  connect(command1_, &QPushButton::clicked, this, [this, onClick] { onClick(form_.Command1); });
  connect(command2_, &QPushButton::clicked, this, [this, onClick] { onClick(form_.Command2); });
  fit_ = fitScene(size());
  placeWidgets();
  refresh();
}

QPushButton& GameWindow::button(const CommandButton& button) {
  return &button == &form_.Command1 ? *command1_ : *command2_;
}

QListWidget& GameWindow::scoreList() {
  return *score_;
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
    score_->append(toQString(items[row]));
  }
  update();
}

void GameWindow::toggleFullScreen() {
  if (coversScreen_) {
    coversScreen_ = false;
    resize(beforeFullScreen_.size());
    move(beforeFullScreen_.topLeft());
  } else if (isFullScreen() || windowManagerDoesFullScreen()) {
    setWindowState(windowState() ^ Qt::WindowFullScreen);
  } else if (screen() != nullptr) {
    // No window manager to ask (a bare X server): the window covers the screen
    // itself.
    beforeFullScreen_ = QRect(pos(), size());
    coversScreen_ = true;
    setGeometry(screen()->geometry());
  }
}

void GameWindow::placeWidgets() {
  QFont buttons = small_;
  buttons.setPixelSize(scaledPixels(kSmallFont, fit_.scale));
  for (const CommandButton* model : {&form_.Command1, &form_.Command2}) {
    QPushButton& widget = button(*model);
    widget.setGeometry(fit_.map(toQRectF(model->rect)));
    widget.setFont(buttons);
  }
  score_->setGeometry(fit_.map(toQRectF(form_.Score.rect)));
  score_->setScale(fit_.scale, small_);
}

void GameWindow::resizeEvent(QResizeEvent* /*event*/) {
  const SceneFit fit = fitScene(size());
  if (fit.scale != fit_.scale || fit.origin != fit_.origin) {
    fit_ = fit;
    placeWidgets();
  }
  update();
}

void GameWindow::keyPressEvent(QKeyEvent* event) {
  // The game has had this key already (the host's key preview); F11 is not one
  // of its keys.
  if (event->key() == Qt::Key_F11 && !event->isAutoRepeat()) {
    toggleFullScreen();
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
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
    fitted = {caption, box, fittingFont(small_, QRectF(QPointF(), box), caption, fit_.scale)};
  }
  return fitted.font;
}

void GameWindow::closeEvent(QCloseEvent* event) {
  if (closing_) {
    event->ignore();
    closing_();
  }
}

void GameWindow::paintScene(QPainter& painter) {
  painter.fillRect(QRect(0, 0, kSceneWidth, kSceneHeight), toQColor(form_.Form.BackColor));
  // Each control over the ones before it: the scenery, the rider, then the ground.
  for (const PictureBox* image : form_.pictures()) {
    drawPicture(painter, *image);
  }
  // The ground line lies over the ground tiles, so that the ground keeps its edge.
  painter.setPen(QPen(Qt::black, 1));
  painter_ = &painter;
  form_.Form_Paint();
  painter_ = nullptr;
  for (const Label* label : form_.labels()) {
    if (label->Visible) {
      painter.fillRect(QRectF(label->Left, label->Top, label->Width, label->Height),
                       toQColor(label->BackColor));
    }
  }
  for (const Line* line : form_.lines()) {
    if (line->Visible) {
      painter.drawLine(QPointF(line->X1, line->Y1), QPointF(line->X2, line->Y2));
    }
  }
}

void GameWindow::writeCaptions(QPainter& painter) {
  // Over the lines too: a caption's ink is black like theirs.
  painter.setPen(Qt::black);
  for (std::size_t index = 0; index < form_.labels().size(); ++index) {
    const Label* label = form_.labels()[index];
    if (!label->Visible) {
      continue;
    }
    const QRect box = fit_.map(QRectF(label->Left, label->Top, label->Width, label->Height));
    const QString caption = toQString(label->Caption);
    painter.setFont(captionFont(index, box.size(), caption));
    painter.drawText(box, kCaptionFlags, caption);
  }
}

void GameWindow::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(this);
  const QRect shown = fit_.sceneRect();
  for (const QRect& border : QRegion(rect()).subtracted(shown)) {
    painter.fillRect(border, kBorder);
  }
  const qreal pixels = fit_.scale * devicePixelRatioF();
  if (pixels == 1.0) {
    // At its own size the scene is painted straight into the window.
    painter.save();
    painter.setClipRect(shown);
    painter.translate(shown.topLeft());
    paintScene(painter);
    painter.restore();
  } else {
    QPainter scene(&scene_);
    paintScene(scene);
    scene.end();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, pixels != std::floor(pixels));
    painter.drawImage(shown, scene_);
  }
  writeCaptions(painter);
  if (painted_) {
    painted_();
  }
}

}  // namespace torvin::desktop
