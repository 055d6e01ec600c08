// The scene renderer: composes the 531 x 343 scene of Form1 exactly as the
// window has always painted it (the back colour, the pictures in their order,
// unscaled and clipped to their boxes, the paint handler's lines, the label
// fills, the line controls) into a frame of pixels, and says which rectangles
// of it changed since the frame before. Every host shows this frame, copied or
// scaled; the captions, the buttons and the Score list each host draws itself,
// at its own resolution.
//
// A host feeds it in two ways: its pictures come from a PictureStore that keeps
// their pixels, and its Platform::drawLine hands the paint handler's lines on to
// drawLine() here (the renderer runs the paint handler itself, in update()).
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "scene/damage.h"
#include "scene/frame.h"
#include "scene/line_pixels.h"
#include "scene/picture_store.h"
#include "shell/form1.h"

namespace torvin::scene {

class Renderer {
 public:
  explicit Renderer(const PictureStore& pictures) : pictures_(pictures) {}
  Renderer(const Renderer&) = delete;
  Renderer& operator=(const Renderer&) = delete;

  // Composes the scene as `form` shows it now, running its paint handler for
  // the lines it draws. Returns the rectangles of the frame whose pixels may
  // have changed since the last update (the whole scene the first time); they
  // do not overlap, and every pixel outside them is as it was.
  const std::vector<Rect>& update(Form1& form);

  // Forgets what the frame shows: the next update composes the whole scene and
  // says so (for a host that lost the pixels it showed).
  void forget() { showing_ = false; }

  // The paint handler's line-drawing operation: draws while update() runs the
  // handler, and does nothing at any other time.
  void drawLine(float x1, float y1, float x2, float y2);

  const Frame& frame() const { return frame_; }

 private:
  // What one picture control draws: the picture's top-left pixel lands at
  // (x, y) and it covers `drawn`; nothing at all when `drawn` is empty.
  struct PictureLayer {
    const Sprite* sprite = nullptr;
    int x = 0;
    int y = 0;
    Rect drawn;
    friend bool operator==(const PictureLayer&, const PictureLayer&) = default;
  };
  struct FillLayer {
    Rect rect;  // empty for a hidden label
    std::uint32_t colour = 0;
    friend bool operator==(const FillLayer&, const FillLayer&) = default;
  };
  struct LineLayer {
    bool shown = false;
    float x1 = 0;
    float y1 = 0;
    float x2 = 0;
    float y2 = 0;
    std::vector<Point> pixels;  // found once the line is known to be new
    Rect bounds;                // of its pixels
    // Whether the pixels come by growing column, by growing row, or neither.
    enum class Order : std::uint8_t { None, ByColumn, ByRow } order = Order::None;
    bool sameLine(const LineLayer& other) const {
      return shown == other.shown &&
             (!shown || (x1 == other.x1 && y1 == other.y1 && x2 == other.x2 && y2 == other.y2));
    }
  };
  // Everything the scene is made of, in drawing order.
  struct Layers {
    std::uint32_t back = 0;
    std::array<PictureLayer, 9> pictures;
    std::vector<LineLayer> painted;  // by the paint handler
    std::array<FillLayer, 5> labels;
    std::array<LineLayer, 5> lines;
  };

  void describe(Form1& form, Layers& layers);
  PictureLayer place(const PictureBox& image) const;
  // Notes what differs from the frame before (the pixels of lines that did not
  // change are taken over from it).
  void compare(Layers& before, Layers& now);
  void lineChanged(const LineLayer* before, LineLayer& now);
  void compose(const Layers& layers, const Rect& area);
  // Draws the line's pixels that lie in `area`.
  void plot(const LineLayer& line, const Rect& area);

  const PictureStore& pictures_;
  Frame frame_;
  Damage damage_;
  Layers shown_;  // what the frame shows, if `showing_`
  bool showing_ = false;
  Layers next_;                                 // what it is to show (kept for its storage)
  std::vector<LineLayer>* painting_ = nullptr;  // set while the paint handler runs
};

}  // namespace torvin::scene
