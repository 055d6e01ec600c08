#include "scene/renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <utility>

namespace torvin::scene {

namespace {

// The window's lines and the paint handler's: black, one pixel wide.
constexpr std::uint32_t kInk = 0xFF000000U;

// Far beyond anything on the scene, and still a safe int once rounded.
constexpr double kFar = 1e9;

// Whether a control's place is one at all (never otherwise in the game).
bool placed(float left, float top, float width, float height) {
  return std::isfinite(left) && std::isfinite(top) && std::isfinite(width) && std::isfinite(height);
}

// Rounds a position to a whole pixel as Qt does (halves away from zero).
int whole(double value) {
  const double near = std::clamp(value, -kFar, kFar);
  return static_cast<int>(near + std::copysign(0.5, near));
}

// The pixels between two corners, each rounded to a whole pixel, in whichever
// order they come: where Qt's raster engine fills a rectangle or clips to one.
Rect between(double left, double top, double right, double bottom) {
  const int x1 = whole(left);
  const int y1 = whole(top);
  const int x2 = whole(right);
  const int y2 = whole(bottom);
  return Rect{std::min(x1, x2), std::min(y1, y2), std::abs(x2 - x1), std::abs(y2 - y1)};
}

Rect boundsOf(const std::vector<Point>& pixels) {
  Rect bounds;
  for (const Point& pixel : pixels) {
    bounds = bounds.united(Rect{pixel.x, pixel.y, 1, 1});
  }
  return bounds;
}

// The first row pixel by pixel, the others copied from it (which the machine
// does many pixels at a time).
void fill(Frame& frame, const Rect& rect, std::uint32_t colour) {
  if (rect.empty()) {
    return;
  }
  std::uint32_t* first = frame.row(rect.top) + rect.left;
  std::fill_n(first, rect.width, colour);
  const auto bytes = static_cast<std::size_t>(rect.width) * sizeof(std::uint32_t);
  for (int y = rect.top + 1; y < rect.bottom(); ++y) {
    std::memcpy(frame.row(y) + rect.left, first, bytes);
  }
}

}  // namespace

void Renderer::plot(const LineLayer& line, const Rect& area) {
  if (!line.bounds.intersects(area)) {
    return;
  }
  // A line's pixels come in order along its longer side, so those inside
  // `area` lie together.
  auto from = line.pixels.begin();
  auto to = line.pixels.end();
  if (line.order == LineLayer::Order::ByColumn) {
    from = std::partition_point(from, to, [&area](const Point& p) { return p.x < area.left; });
    to = std::partition_point(from, to, [&area](const Point& p) { return p.x < area.right(); });
  } else if (line.order == LineLayer::Order::ByRow) {
    from = std::partition_point(from, to, [&area](const Point& p) { return p.y < area.top; });
    to = std::partition_point(from, to, [&area](const Point& p) { return p.y < area.bottom(); });
  }
  for (auto pixel = from; pixel != to; ++pixel) {
    if (pixel->x >= area.left && pixel->x < area.right() && pixel->y >= area.top &&
        pixel->y < area.bottom()) {
      frame_.row(pixel->y)[pixel->x] = kInk;
    }
  }
}

void Renderer::drawLine(float x1, float y1, float x2, float y2) {
  if (painting_ != nullptr) {
    LineLayer line;
    line.shown = true;
    line.x1 = x1;
    line.y1 = y1;
    line.x2 = x2;
    line.y2 = y2;
    painting_->push_back(std::move(line));
  }
}

Renderer::PictureLayer Renderer::place(const PictureBox& image) const {
  PictureLayer layer;
  const Sprite* sprite = image.picture() ? pictures_.sprite(image.picture()->handle) : nullptr;
  if (sprite == nullptr || !placed(image.Left, image.Top, image.Width, image.Height)) {
    return layer;
  }
  // The box clips the picture. Its far corner is found as Qt finds it from a
  // rectangle given by corner and size.
  const double left = static_cast<double>(image.Left.get());
  const double top = static_cast<double>(image.Top.get());
  const double right = left + static_cast<double>(image.Width.get());
  const double bottom = top + static_cast<double>(image.Height.get());
  const Rect clip =
      between(left, top, left + (right - left), top + (bottom - top)).intersected(kWhole);
  // A picture whose unrounded corner lies beyond the clip's last pixel, or whose
  // unrounded far edge falls short of its first, is not drawn at all, even where
  // its rounded place would show a column or a row of it.
  if (clip.empty() || left > clip.right() - 1 || top > clip.bottom() - 1 ||
      left + sprite->width < clip.left || top + sprite->height < clip.top) {
    return layer;
  }
  layer.sprite = sprite;
  layer.x = whole(left);
  layer.y = whole(top);
  layer.drawn = Rect{layer.x, layer.y, sprite->width, sprite->height}.intersected(clip);
  if (layer.drawn.empty()) {
    return {};
  }
  return layer;
}

void Renderer::describe(Form1& form, Layers& layers) {
  layers.back = pixelOf(form.Form.BackColor);
  layers.painted.clear();
  for (std::size_t i = 0; i < layers.pictures.size(); ++i) {
    layers.pictures[i] = place(*form.pictures()[i]);
  }
  painting_ = &layers.painted;
  form.Form_Paint();
  painting_ = nullptr;
  for (std::size_t i = 0; i < layers.labels.size(); ++i) {
    const Label& label = *form.labels()[i];
    if (label.Visible && placed(label.Left, label.Top, label.Width, label.Height)) {
      const double left = static_cast<double>(label.Left.get());
      const double top = static_cast<double>(label.Top.get());
      layers.labels[i].rect = between(left, top, left + static_cast<double>(label.Width.get()),
                                      top + static_cast<double>(label.Height.get()))
                                  .intersected(kWhole);
      layers.labels[i].colour = pixelOf(label.BackColor);
    }
    if (!label.Visible || layers.labels[i].rect.empty()) {
      layers.labels[i] = {};
    }
  }
  for (std::size_t i = 0; i < layers.lines.size(); ++i) {
    const Line& control = *form.lines()[i];
    LineLayer& line = layers.lines[i];
    line.pixels.clear();
    line.bounds = {};
    line.order = LineLayer::Order::None;
    line.shown = control.Visible;
    line.x1 = control.X1;
    line.y1 = control.Y1;
    line.x2 = control.X2;
    line.y2 = control.Y2;
  }
}

void Renderer::lineChanged(const LineLayer* before, LineLayer& now) {
  if (before != nullptr) {
    damage_.add(before->bounds);
  }
  if (now.shown) {
    now.pixels = linePixels(static_cast<double>(now.x1), static_cast<double>(now.y1),
                            static_cast<double>(now.x2), static_cast<double>(now.y2));
    now.bounds = boundsOf(now.pixels);
    const auto increasing = [&now](auto coordinate) {
      return std::adjacent_find(now.pixels.begin(), now.pixels.end(),
                                [&coordinate](const Point& a, const Point& b) {
                                  return coordinate(b) <= coordinate(a);
                                }) == now.pixels.end();
    };
    now.order = increasing([](const Point& p) { return p.x; })   ? LineLayer::Order::ByColumn
                : increasing([](const Point& p) { return p.y; }) ? LineLayer::Order::ByRow
                                                                 : LineLayer::Order::None;
    damage_.add(now.bounds);
  }
}

void Renderer::compare(Layers& before, Layers& now) {
  for (std::size_t i = 0; i < now.pictures.size(); ++i) {
    if (!(before.pictures[i] == now.pictures[i])) {
      damage_.add(before.pictures[i].drawn);
      damage_.add(now.pictures[i].drawn);
    }
  }
  for (std::size_t i = 0; i < now.labels.size(); ++i) {
    if (!(before.labels[i] == now.labels[i])) {
      damage_.add(before.labels[i].rect);
      damage_.add(now.labels[i].rect);
    }
  }
  const auto settle = [this](LineLayer* old, LineLayer& line) {
    if (old != nullptr && old->sameLine(line)) {
      line.pixels = std::move(old->pixels);
      line.bounds = old->bounds;
      line.order = old->order;
    } else {
      lineChanged(old, line);
    }
  };
  for (std::size_t i = 0; i < now.painted.size(); ++i) {
    settle(i < before.painted.size() ? &before.painted[i] : nullptr, now.painted[i]);
  }
  for (std::size_t i = now.painted.size(); i < before.painted.size(); ++i) {
    damage_.add(before.painted[i].bounds);
  }
  for (std::size_t i = 0; i < now.lines.size(); ++i) {
    settle(&before.lines[i], now.lines[i]);
  }
}

const std::vector<Rect>& Renderer::update(Form1& form) {
  Layers& now = next_;
  describe(form, now);
  damage_.clear();
  if (showing_ && shown_.back == now.back) {
    compare(shown_, now);
  } else {
    for (LineLayer& line : now.painted) {
      lineChanged(nullptr, line);
    }
    for (LineLayer& line : now.lines) {
      lineChanged(nullptr, line);
    }
    damage_.clear();
    damage_.add(kWhole);
  }
  const std::vector<Rect>& damage = damage_.rects();
  for (const Rect& area : damage) {
    compose(now, area);
  }
  std::swap(shown_, next_);
  showing_ = true;
  return damage;
}

void Renderer::compose(const Layers& layers, const Rect& area) {
  fill(frame_, area, layers.back);
  for (const PictureLayer& picture : layers.pictures) {
    const Rect part = picture.drawn.intersected(area);
    if (part.empty()) {
      continue;
    }
    const Sprite& sprite = *picture.sprite;
    for (int y = part.top; y < part.bottom(); ++y) {
      const auto row = static_cast<std::size_t>(y - picture.y);
      const std::uint32_t* source = sprite.row(y - picture.y);
      std::uint32_t* target = frame_.row(y);
      for (std::size_t run = sprite.rowRuns[row]; run < sprite.rowRuns[row + 1]; ++run) {
        const int from = std::max(picture.x + sprite.runs[run].begin, part.left);
        const int to = std::min(picture.x + sprite.runs[run].end, part.right());
        if (from < to) {
          std::memcpy(target + from, source + (from - picture.x),
                      static_cast<std::size_t>(to - from) * sizeof(std::uint32_t));
        }
      }
    }
  }
  for (const LineLayer& line : layers.painted) {
    plot(line, area);
  }
  for (const FillLayer& label : layers.labels) {
    fill(frame_, label.rect.intersected(area), label.colour);
  }
  for (const LineLayer& line : layers.lines) {
    plot(line, area);
  }
}

}  // namespace torvin::scene
