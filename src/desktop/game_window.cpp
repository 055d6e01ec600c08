#include "desktop/game_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <algorithm>
#include <cmath>

#include "desktop/paused_veil.h"
#include "desktop/score_list.h"
#include "desktop/window_system.h"

namespace torvin::desktop {

namespace {

// Around the scene where the window's shape differs from the scene's.
const QColor kBorder(48, 48, 48);

QRectF toQRectF(const Rect& rect) {
  return QRectF(rect.left, rect.top, rect.width, rect.height);
}

QString toQString(const std::string& text) {
  return QString::fromStdString(text);
}

// The points over the scene: black on a light backing, so that they can be
// read over the sky pictures drifting by.
const QColor kPointsBacking(255, 255, 255, 170);
constexpr int kPointsMargin = 3;   // from the scene's corner, at scale 1
constexpr int kPointsPadding = 2;  // around the text

QString pointsText(int run, int total) {
  return QStringLiteral("Points %1 \u00B7 Total %2").arg(run).arg(total);
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

GameWindow::GameWindow(Form1& form, const scene::PictureStore& pictures, ClickHandler onClick)
    : form_(form),
      renderer_(pictures),
      view_(renderer_.frame()),
      command1_(new QPushButton(this)),
      command2_(new QPushButton(this)),
      score_(new ScoreList(this)),
      veil_(new PausedVeil(this)) {
  setMinimumSize(kSceneWidth, kSceneHeight);
  resize(kSceneWidth, kSceneHeight);
  setAttribute(Qt::WA_OpaquePaintEvent);
  // Small captions, as on the window's own buttons and labels.
  small_ = font();
  small_.setPixelSize(kSmallFont);
  small_.setStretch(QFont::SemiCondensed);
  setFont(small_);

  // The buttons fill their whole box, as the real child windows they are: the
  // scene changing under them never makes them paint again.
  command1_->setAutoFillBackground(true);
  command2_->setAutoFillBackground(true);

  // "How to" comes first in the tab order and has the focus at start-up.
  setTabOrder(command2_, command1_);
  setTabOrder(command1_, score_);
  command2_->setFocus();

  connect(command1_, &QPushButton::clicked, this, [this, onClick] { onClick(form_.Command1); });
  connect(command2_, &QPushButton::clicked, this, [this, onClick] { onClick(form_.Command2); });
  fit_ = fitScene(size());
  ratio_ = devicePixelRatioF();
  view_.setFit(fit_, ratio_);
  placeWidgets();
  refreshCaptions(true);
  refreshWidgets();
}

QPushButton& GameWindow::button(const CommandButton& button) {
  return &button == &form_.Command1 ? *command1_ : *command2_;
}

QListWidget& GameWindow::scoreList() {
  return *score_;
}

void GameWindow::refresh() {
  const std::vector<scene::Rect>& damage = renderer_.update(form_);
  if (!composed_) {
    composed_ = true;
    update();
  } else {
    for (const scene::Rect& rect : damage) {
      paintAgain(view_.shows(rect));
    }
  }
  refreshCaptions(false);
  refreshPoints();
  refreshWidgets();
}

void GameWindow::setPaused(bool paused) {
  veil_->setVisible(paused);
  if (paused) {
    veil_->raise();
  }
}

bool GameWindow::showsPaused() const {
  return !veil_->isHidden();
}

void GameWindow::setShowPoints(bool shown) {
  if (shown == showsPoints()) {
    return;
  }
  if (shown) {
    points_.emplace();
    refreshPoints(true);
  } else {
    paintAgain(points_->box);
    points_.reset();
  }
}

void GameWindow::refreshPoints(bool all) {
  if (!points_) {
    return;
  }
  const int run = form_.game.runScore;
  const int total = form_.game.totalScore;
  if (!all && run == points_->run && total == points_->total) {
    return;
  }
  paintAgain(points_->box);
  points_->run = run;
  points_->total = total;
  points_->text = pointsText(run, total);
  points_->font = small_;
  points_->font.setPixelSize(scaledPixels(kSmallFont, fit_.scale));
  const QFontMetrics metrics(points_->font);
  const int margin = scaledPixels(kPointsMargin, fit_.scale);
  const int padding = scaledPixels(kPointsPadding, fit_.scale);
  points_->box = QRect(fit_.sceneRect().topLeft() + QPoint(margin, margin),
                       QSize(metrics.horizontalAdvance(points_->text) + 2 * padding,
                             metrics.height() + 2 * padding));
  paintAgain(points_->box);
}

void GameWindow::paintAgain(const QRect& area) {
  // The opaque buttons and list hide the scene under them: only the pieces
  // around them are asked for.
  std::array<QRect, 16> pending;
  std::size_t count = 0;
  pending[count++] = area;
  while (count > 0) {
    const QRect piece = pending[--count];
    const auto hidden = std::find_if(widgetBoxes_.begin(), widgetBoxes_.end(),
                                     [&piece](const QRect& box) { return box.intersects(piece); });
    if (hidden == widgetBoxes_.end()) {
      update(piece);
      continue;
    }
    const QRect inner = piece & *hidden;
    for (const QRect& part :
         {QRect(QPoint(piece.left(), piece.top()), QPoint(piece.right(), inner.top() - 1)),
          QRect(QPoint(piece.left(), inner.bottom() + 1), QPoint(piece.right(), piece.bottom())),
          QRect(QPoint(piece.left(), inner.top()), QPoint(inner.left() - 1, inner.bottom())),
          QRect(QPoint(inner.right() + 1, inner.top()), QPoint(piece.right(), inner.bottom()))}) {
      if (part.isEmpty()) {
        continue;
      }
      if (count < pending.size()) {
        pending[count++] = part;
      } else {
        update(part);  // never reached with three widgets; more painted, never less
      }
    }
  }
}

void GameWindow::refreshWidgets() {
  if (title_ != form_.Form.Caption.get()) {
    title_ = form_.Form.Caption;
    setWindowTitle(toQString(title_));
  }
  for (const CommandButton* model : {&form_.Command1, &form_.Command2}) {
    auto& shown = buttons_[model == &form_.Command1 ? 0 : 1];
    const std::pair<std::string, bool> now{model->Caption, model->Enabled};
    if (shown != now) {
      shown = now;
      QPushButton& widget = button(*model);
      widget.setText(toQString(now.first));
      widget.setEnabled(now.second);
    }
  }
  const auto& items = form_.Score.items();
  for (auto row = static_cast<std::size_t>(score_->count()); row < items.size(); ++row) {
    score_->append(toQString(items[row]));
  }
}

void GameWindow::refreshCaptions(bool all) {
  for (std::size_t index = 0; index < captions_.size(); ++index) {
    const Label& label = *form_.labels()[index];
    Caption& caption = captions_[index];
    const bool shown = label.Visible;
    const QRect box = fit_.map(QRectF(label.Left, label.Top, label.Width, label.Height));
    if (!all && caption.shown == shown &&
        (!shown || (caption.box == box && caption.text == label.Caption.get()))) {
      continue;
    }
    if (caption.layout) {
      paintAgain(caption.layout->reach());
    }
    caption = {shown, label.Caption, box, std::nullopt};
    if (shown) {
      const QString text = toQString(caption.text);
      caption.layout.emplace(text, box, captionFont(index, box.size(), text), this);
      paintAgain(caption.layout->reach());
    }
  }
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
  veil_->setGeometry(fit_.sceneRect());
  veil_->setScale(fit_.scale);
  widgetBoxes_ = {command1_->geometry(), command2_->geometry(), score_->geometry()};
}

void GameWindow::resizeEvent(QResizeEvent* /*event*/) {
  const SceneFit fit = fitScene(size());
  if (fit.scale != fit_.scale || fit.origin != fit_.origin) {
    fit_ = fit;
    placeWidgets();
  }
  ratio_ = devicePixelRatioF();
  view_.setFit(fit_, ratio_);
  refreshCaptions(true);
  refreshPoints(true);
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

const QFont& GameWindow::captionFont(std::size_t label, const QSize& box, const QString& caption) {
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

void GameWindow::paintArea(QPainter& painter, const QRect& area) {
  painter.setClipRect(area);
  const QRect shown = fit_.sceneRect();
  if (!shown.contains(area)) {
    for (const QRect& border : QRegion(area).subtracted(shown)) {
      painter.fillRect(border, kBorder);
    }
  }
  view_.paint(painter, area);
  paintOverScene(painter, area);
}

void GameWindow::paintOverScene(QPainter& painter, const QRect& area) {
  bool inked = false;
  for (const Caption& caption : captions_) {
    if (caption.layout && caption.layout->reach().intersects(area)) {
      if (!inked) {
        // Over the lines too: a caption's ink is black like theirs.
        painter.setPen(Qt::black);
        inked = true;
      }
      caption.layout->draw(painter, area);
    }
  }
  if (points_ && points_->box.intersects(area)) {
    painter.fillRect(points_->box, kPointsBacking);
    painter.setPen(Qt::black);
    painter.setFont(points_->font);
    painter.drawText(points_->box, Qt::AlignCenter, points_->text);
  }
}

void GameWindow::paintEvent(QPaintEvent* event) {
  if (!composed_) {
    renderer_.update(form_);  // a paint before the first refresh shows the whole scene
    composed_ = true;
  }
  if (devicePixelRatioF() != ratio_) {
    ratio_ = devicePixelRatioF();
    view_.setFit(fit_, ratio_);
  }
  QPainter painter(this);
  for (const QRect& area : event->region()) {
    paintArea(painter, area);
  }
  painter.end();
  if (painted_) {
    painted_();
  }
}

}  // namespace torvin::desktop
