// The translucent "Paused" that covers the scene while the game is paused, over
// the buttons and the Score list too: none of them can be used until the
// game is resumed. Drawn by the window at its own resolution.
#pragma once

#include <QWidget>

namespace torvin::desktop {

class PausedVeil final : public QWidget {
 public:
  // Hidden until the game is paused.
  explicit PausedVeil(QWidget* parent);

  // The scene's scale in the window, for the size of the word.
  void setScale(double scale);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QFont font_;
};

}  // namespace torvin::desktop
