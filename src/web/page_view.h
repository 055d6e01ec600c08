// What the page shows of the game: the scene from the renderer on the canvas,
// only the rectangles that changed, copied at the scene's own size and scaled
// by the scene's scaler at any other (square pixels at whole factors, smoothed
// at others, as in the window); and the captions, the buttons, the Score list,
// the title and the points, handed to the page only when they changed, for it
// to write as text at the device's resolution.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "scene/picture_store.h"
#include "scene/renderer.h"
#include "scene/scaler.h"
#include "shell/form1.h"

namespace torvin::web {

class PageView {
 public:
  PageView(Form1& form, const scene::PictureStore& pictures);

  // Brings the page in line with the game: the scene's changed rectangles and
  // whatever of the text changed.
  void refresh();
  // The scene's place or size on the page changed: paints all of it again.
  void repaint();

  // The paint handler's lines, for the renderer.
  void drawLine(float x1, float y1, float x2, float y2) { renderer_.drawLine(x1, y1, x2, y2); }

 private:
  struct Caption {
    bool visible = false;
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    std::string text;
    friend bool operator==(const Caption&, const Caption&) = default;
  };
  struct Button {
    std::string caption;
    bool enabled = false;
    friend bool operator==(const Button&, const Button&) = default;
  };

  // Paints the scene's rectangle `rect` where the canvas shows it.
  void paint(const scene::Rect& rect);
  // The scaler for the canvas's present size (none at the scene's own size).
  void fitCanvas();
  void refreshText();

  Form1& form_;
  scene::Renderer renderer_;
  int deviceWidth_ = 0;
  int deviceHeight_ = 0;
  std::optional<scene::Scaler> scaler_;
  std::vector<std::uint32_t> scaled_;
  std::vector<std::uint8_t> rgba_;
  std::uint64_t shownRevision_ = 0;
  bool composed_ = false;
  std::array<std::optional<Caption>, 5> captions_;
  std::array<std::optional<Button>, 2> buttons_;
  std::size_t scoreItems_ = 0;
  std::optional<std::string> title_;
  std::optional<std::pair<int, int>> points_;
};

}  // namespace torvin::web
