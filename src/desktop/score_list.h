// The Score list: one line per finished run, the newest always in sight. In its
// narrow box every score up to 32767 stays whole: the scroll bar is thin, the
// lines have a one-pixel margin, and a line that does not fit in the window's
// small font gets a smaller one.
#pragma once

#include <QFont>
#include <QListWidget>
#include <QString>

namespace torvin::desktop {

class ScoreList final : public QListWidget {
 public:
  explicit ScoreList(QWidget* parent);

  // Adds a line at the end and scrolls to it.
  void append(const QString& score);

  // Sizes the font and the scroll bar for the scene shown at `scale` times its
  // size; `font` is the font at scale 1. Call after the list's box has changed.
  void setScale(double scale, const QFont& font);

  // The width a line's text may take: the box less its frame, the scroll bar and
  // the line's margins (the scroll bar is counted even while hidden, so that the
  // lines keep their size when it comes).
  int textRoom() const;

 private:
  void fit(QListWidgetItem& item) const;

  QFont font_;
  double scale_ = 1.0;
};

}  // namespace torvin::desktop
