// The game window: shows the scene the renderer composes from the model, writes
// the labels' captions over it, and holds the real widgets of the two buttons
// and the Score list.
//
// The window can take any size. The scene keeps its 531 x 343 layout and is
// shown scaled to fit, with a border around it: its pixels come from the scene
// renderer, copied where the window shows them at their own size and scaled
// everywhere else (square pixels at whole factors, smoothed at others), so that
// every size shows exactly the same scene; the captions are written at the
// window's resolution and the buttons and the list are real widgets moved and
// sized to where the scene puts them, so that text stays sharp and clicks land
// where they are drawn.
//
// Over the scene the window can also show, at its own resolution, the points
// of the run and the total (when the player asks for them) and a translucent
// "Paused" over everything while the game is paused; neither is any part of
// the game.
//
// Only what changed is painted: the rectangles the renderer says changed, the
// captions whose text or box changed, one rectangle at a time; the buttons and
// the list are opaque and repaint only when they change themselves.
#pragma once

#include <QListWidget>
#include <QPushButton>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>
#include <string>

#include "desktop/caption_layout.h"
#include "desktop/scene_fit.h"
#include "desktop/scene_view.h"
#include "scene/picture_store.h"
#include "scene/renderer.h"
#include "shell/form1.h"

class QPainter;

namespace torvin::desktop {

class PausedVeil;
class ScoreList;

class GameWindow final : public QWidget {
 public:
  using ClickHandler = std::function<void(CommandButton&)>;

  GameWindow(Form1& form, const scene::PictureStore& pictures, ClickHandler onClick);

  // Brings the window in line with the model: composes the scene, asks for the
  // parts of the window that changed to be painted, and brings the buttons, the
  // Score list and the caption up to date where they changed.
  void refresh();

  // The window's line-drawing operation: the paint handler's lines go to the
  // scene renderer, which runs the handler while it composes the scene.
  void drawLine(float x1, float y1, float x2, float y2) { renderer_.drawLine(x1, y1, x2, y2); }

  // Called when the player closes the window; the window stays until the game
  // has ended.
  void setCloseHandler(std::function<void()> closing) { closing_ = std::move(closing); }

  // Called after every frame the window paints.
  void setPaintedHook(std::function<void()> painted) { painted_ = std::move(painted); }

  QPushButton& button(const CommandButton& button);
  QListWidget& scoreList();

  // The scene as the renderer composed it last.
  const scene::Frame& frame() const { return renderer_.frame(); }
  // How the scene is shown in the window's present size.
  const SceneFit& fit() const { return fit_; }
  // F11: full screen and back.
  void toggleFullScreen();

  // The game is paused: a translucent "Paused" over the scene.
  void setPaused(bool paused);
  bool showsPaused() const;
  // The run's points and the total over the top left of the scene.
  void setShowPoints(bool shown);
  bool showsPoints() const { return points_.has_value(); }
  // Writes the points anew when the scores changed (laid out again with `all`).
  void refreshPoints(bool all = false);
  // Where the points are written, in the window (empty while they are not).
  QRect pointsBox() const { return points_ ? points_->box : QRect(); }
  // Full screen, by the window manager or by the window itself.
  bool fullScreen() const { return isFullScreen() || coversScreen_; }

  QSize sizeHint() const override { return QSize(kSceneWidth, kSceneHeight); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // A label's caption as the window writes it.
  struct Caption {
    bool shown = false;
    std::string text;
    QRect box;
    std::optional<CaptionLayout> layout;
  };

  // The window's pixels of `area`, one rectangle: the border, the scene, and
  // what is written over the scene.
  void paintArea(QPainter& painter, const QRect& area);
  // What is drawn over the scene at the window's resolution, clipped to `area`:
  // the labels' captions. Anything else shown over the scene belongs here too,
  // with the window asked to paint its place whenever it changes.
  void paintOverScene(QPainter& painter, const QRect& area);
  // Lays out the captions that changed (all of them with `all`) and asks for
  // their places to be painted again.
  void refreshCaptions(bool all);
  // Asks for the window's `area` to be painted again, less what the buttons
  // and the list cover.
  void paintAgain(const QRect& area);
  // The buttons, the Score list and the window's caption, where they changed.
  void refreshWidgets();
  // Moves and sizes the buttons and the list for the present fit.
  void placeWidgets();
  const QFont& captionFont(std::size_t label, const QSize& box, const QString& caption);

  Form1& form_;
  scene::Renderer renderer_;
  SceneView view_;
  QPushButton* command1_;
  QPushButton* command2_;
  ScoreList* score_;
  PausedVeil* veil_;
  QFont small_;  // the captions' font at scale 1
  SceneFit fit_;
  bool coversScreen_ = false;  // full screen without a window manager's help
  QRect beforeFullScreen_;
  // The font each label's caption was last fitted with, kept until the caption
  // or the box changes: fitting measures the text at several sizes.
  struct FittedCaption {
    QString caption;
    QSize box{-1, -1};  // starts invalid, so the first caption is always fitted
    QFont font;
  };
  std::array<FittedCaption, 5> fitted_;
  std::array<Caption, 5> captions_;
  // The points as written: the scores they show, and where.
  struct Points {
    int run = 0;
    int total = 0;
    QString text;
    QRect box;
    QFont font;
  };
  std::optional<Points> points_;
  std::array<QRect, 3> widgetBoxes_;  // where the buttons and the list are
  // What the widgets show, to change them only when the model changed.
  std::string title_;
  std::array<std::optional<std::pair<std::string, bool>>, 2> buttons_;
  bool composed_ = false;  // the scene was composed at least once
  qreal ratio_ = 1;        // the device pixel ratio the view was fitted for
  std::function<void()> painted_;
  std::function<void()> closing_;
};

}  // namespace torvin::desktop
