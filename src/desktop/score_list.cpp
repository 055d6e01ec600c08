#include "desktop/score_list.h"

#include <QFontMetrics>
#include <QProxyStyle>
#include <QScrollBar>
#include <algorithm>
#include <cmath>

namespace torvin::desktop {

namespace {

// The font sizes a line may take, in pixels at scale 1: the window's small font,
// down to the smallest that is still read easily.
constexpr int kLargest = 11;
constexpr int kSmallest = 7;
// The scroll bar's width at scale 1.
constexpr double kScrollBarWidth = 4;

int scaled(double pixels, double scale) {
  return std::max(1, static_cast<int>(std::lround(pixels * scale)));
}

// The lines' text one pixel from the list's edges, whatever margin the style
// would give it.
class NarrowMargins final : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_FocusFrameHMargin) {
      return 0;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
  }
};

}  // namespace

ScoreList::ScoreList(QWidget* parent) : QListWidget(parent) {
  auto* style = new NarrowMargins;
  style->setParent(this);
  setStyle(style);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setTextElideMode(Qt::ElideNone);  // a score is shown whole or not at all
  setSelectionMode(QAbstractItemView::SingleSelection);
}

void ScoreList::append(const QString& score) {
  auto* item = new QListWidgetItem(score, this);
  fit(*item);
  scrollToBottom();
}

void ScoreList::setScale(double scale, const QFont& font) {
  scale_ = scale;
  font_ = font;
  QFont listFont = font;
  listFont.setPixelSize(scaled(kLargest, scale));
  setFont(listFont);
  const int bar = scaled(kScrollBarWidth, scale);
  // A plain groove and handle, without arrow buttons, which would not fit.
  verticalScrollBar()->setStyleSheet(
      QStringLiteral("QScrollBar:vertical { width: %1px; margin: 0; border: none;"
                     " background: #E2E2E2; }"
                     "QScrollBar::handle:vertical { background: #8A8A8A; min-height: %2px; }"
                     "QScrollBar::add-line:vertical, QScrollBar::sub-line:vertical"
                     " { height: 0; border: none; }"
                     "QScrollBar::add-page:vertical, QScrollBar::sub-page:vertical"
                     " { background: none; }")
          .arg(bar)
          .arg(3 * bar));
  for (int row = 0; row < count(); ++row) {
    fit(*item(row));
  }
  scrollToBottom();
}

int ScoreList::textRoom() const {
  const int margin = style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1;
  return width() - 2 * frameWidth() - scaled(kScrollBarWidth, scale_) - 2 * margin;
}

void ScoreList::fit(QListWidgetItem& item) const {
  const int room = textRoom();
  QFont font = font_;
  for (int size = kLargest; size >= kSmallest; --size) {
    font.setPixelSize(scaled(size, scale_));
    if (QFontMetrics(font).horizontalAdvance(item.text()) <= room) {
      item.setFont(font);
      item.setToolTip(QString());
      return;
    }
  }
  // Too long even in the smallest font: the whole score in a tooltip.
  item.setFont(font);
  item.setToolTip(item.text());
}

}  // namespace torvin::desktop
