// The game window: paints the pictures, labels and lines of Form1 from the model
// and holds the real widgets of the two buttons and the Score list.
#pragma once

#include <QListWidget>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <functional>

#include "shell/form1.h"

class QPainter;

namespace torvin::desktop {

class PictureStore;

class GameWindow final : public QWidget {
 public:
  using ClickHandler = std::function<void(CommandButton&)>;

  GameWindow(Form1& form, const PictureStore& pictures, ClickHandler onClick);

  // Brings the buttons, the Score list and the caption in line with the model and
  // asks for a repaint.
  void refresh();

  // The window's line-drawing operation; draws only while the window is painting.
  void drawLine(float x1, float y1, float x2, float y2);

  // Called when the player closes the window; the window stays until the game
  // has ended.
  void setCloseHandler(std::function<void()> closing) { closing_ = std::move(closing); }

  // Called after every frame the window paints.
  void setPaintedHook(std::function<void()> painted) { painted_ = std::move(painted); }

  QPushButton& button(const CommandButton& button);
  QListWidget& scoreList() { return *score_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void drawPicture(QPainter& painter, const PictureBox& image) const;

  Form1& form_;
  const PictureStore& pictures_;
  QPushButton* command1_;
  QPushButton* command2_;
  QListWidget* score_;
  // The font each label's caption was last fitted with, kept until the caption
  // or the box changes: fitting measures the text at several sizes.
  struct FittedCaption {
    QString caption;
    QSizeF box;  // starts invalid (-1 x -1), so the first caption is always fitted
    QFont font;
  };
  const QFont& captionFont(std::size_t label, const QSizeF& box, const QString& caption);

  std::array<FittedCaption, 5> fitted_;
  QPainter* painter_ = nullptr;  // set while painting
  std::function<void()> painted_;
  std::function<void()> closing_;
};

}  // namespace torvin::desktop
