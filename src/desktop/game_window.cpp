#include "desktop/game_window.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QScreen>
#include <cmath>

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

constexpr int kCaptionFlags = Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap;
// The window's small font, in pixels at scale 1, and the smallest a caption may
// shrink to.
constexpr int kSmallFont = 11;
constexpr int kSmallestCaption = 7;
// How far a caption's ink may reach beyond its box (the last glyph's edge).
constexpr int kInkMargin = 2;

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

QRect withInk(const QRect& box) {
  return box.adjusted(-kInkMargin, -kInkMargin, kInkMargin, kInkMargin);
}

}  // namespace

GameWindow::GameWindow(Form1& form, const scene::PictureStore& pictures, ClickHandler onClick)
    : form_(form),
      renderer_(pictures),
      view_(renderer_.frame()),
      command1_(new QPushButton(this)),
      command2_(new QPushButton(this)),
      score_(new ScoreList(this)) {
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
  QRegion changed;
  const std::vector<scene::Rect>& damage = renderer_.update(form_);
  if (!composed_) {
    composed_ = true;
    changed = rect();
  } else {
    for (const scene::Rect& rect : damage) {
      changed += view_.shows(rect);
    }
  }
  changed += refreshCaptions(false);
  // The opaque buttons and list hide the scene under them.
  changed -= underWidgets();
  if (!changed.isEmpty()) {
    update(changed);
  }
  refreshWidgets();
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

QRegion GameWindow::refreshCaptions(bool all) {
  QRegion changed;
  for (std::size_t index = 0; index < captions_.size(); ++index) {
    const Label& label = *form_.labels()[index];
    Caption& caption = captions_[index];
    const bool shown = label.Visible;
    const QRect box = fit_.map(QRectF(label.Left, label.Top, label.Width, label.Height));
    if (!all && caption.shown == shown &&
        (!shown || (caption.box == box && caption.text == label.Caption.get()))) {
      continue;
    }
    if (caption.shown) {
      changed += withInk(caption.box);
    }
    caption = {shown, label.Caption, box, std::nullopt};
    if (shown) {
      const QString text = toQString(caption.text);
      caption.layout.emplace(text, box, captionFont(index, box.size(), text), this);
      changed += withInk(box);
    }
  }
  return changed;
}

QRegion GameWindow::underWidgets() const {
  QRegion hidden;
  for (const QWidget* widget :
       {static_cast<const QWidget*>(command1_), static_cast<const QWidget*>(command2_),
        static_cast<const QWidget*>(score_)}) {
    if (widget->isVisibleTo(this)) {
      hidden += widget->geometry();
    }
  }
  return hidden;
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
  ratio_ = devicePixelRatioF();
  view_.setFit(fit_, ratio_);
  refreshCaptions(true);
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

bool GameWindow::event(QEvent* event) {
  const bool handled = QWidget::event(event);
  // A top-level window paints and hands its frame to the window system while
  // it handles its update request.
  if (event->type() == QEvent::UpdateRequest && paintedSinceShown_) {
    paintedSinceShown_ = false;
    if (shown_) {
      shown_();
    }
  }
  return handled;
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
  // Over the lines too: a caption's ink is black like theirs.
  painter.setPen(Qt::black);
  for (const Caption& caption : captions_) {
    if (caption.layout && withInk(caption.box).intersects(area)) {
      caption.layout->draw(painter, area);
    }
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
  paintedSinceShown_ = true;
  if (painted_) {
    painted_();
  }
}

}  // namespace torvin::desktop
