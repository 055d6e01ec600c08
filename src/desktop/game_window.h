// The game window: paints the pictures, labels and lines of Form1 from the model
// and holds the real widgets of the two buttons and the Score list.
//
// The window can take any size. The scene keeps its 531 x 343 layout and is
// shown scaled to fit, with a border around it: the pictures, lines and label
// colours are painted at the scene's own size and then enlarged as one picture
// (square pixels at whole factors, smoothed at others), so that every size shows
// exactly the same scene; the captions are written at the window's resolution
// and the buttons and the list are real widgets moved and sized to where the
// scene puts them, so that text stays sharp and clicks land where they are drawn.
#pragma once

#include <QImage>
#include <QListWidget>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <functional>

#include "desktop/scene_fit.h"
#include "shell/form1.h"

class QPainter;

namespace torvin::desktop {

class PictureStore;
class ScoreList;

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
  QListWidget& scoreList();

  // How the scene is shown in the window's present size.
  const SceneFit& fit() const { return fit_; }
  // F11: full screen and back.
  void toggleFullScreen();
  // Full screen, by the window manager or by the window itself.
  bool fullScreen() const { return isFullScreen() || coversScreen_; }

  QSize sizeHint() const override { return QSize(kSceneWidth, kSceneHeight); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // Paints the pictures, the ground, the label colours and the lines of the
  // scene at its own size, its top-left corner at the painter's origin.
  void paintScene(QPainter& painter);
  void drawPicture(QPainter& painter, const PictureBox& image) const;
  // Writes the labels' captions over the shown scene, at the window's resolution.
  void writeCaptions(QPainter& painter);
  // Moves and sizes the buttons and the list for the present fit.
  void placeWidgets();

  Form1& form_;
  const PictureStore& pictures_;
  QPushButton* command1_;
  QPushButton* command2_;
  ScoreList* score_;
  QFont small_;  // the captions' font at scale 1
  SceneFit fit_;
  bool coversScreen_ = false;  // full screen without a window manager's help
  QRect beforeFullScreen_;
  QImage scene_;  // the scene at its own size, for a window that shows it scaled
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
