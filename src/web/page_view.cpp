#include "web/page_view.h"

#include "web/page_bridge.h"

namespace torvin::web {

PageView::PageView(Form1& form, const scene::PictureStore& pictures)
    : form_(form), renderer_(pictures) {}

void PageView::refresh() {
  // The points are the game's state, not its controls: they change without
  // anything visible changing.
  const std::pair<int, int> points{form_.game.runScore, form_.game.totalScore};
  if (points_ != points) {
    points_ = points;
    page::points(points.first, points.second);
  }
  if (composed_ && form_.revision() == shownRevision_) {
    return;  // nothing visible changed
  }
  shownRevision_ = form_.revision();
  fitCanvas();
  for (const scene::Rect& rect : renderer_.update(form_)) {
    paint(rect);
  }
  composed_ = true;
  refreshText();
}

void PageView::repaint() {
  if (!composed_) {
    refresh();
    return;
  }
  fitCanvas();
  paint(scene::kWhole);
}

void PageView::fitCanvas() {
  const int width = page::deviceWidth();
  const int height = page::deviceHeight();
  if (width == deviceWidth_ && height == deviceHeight_) {
    return;
  }
  deviceWidth_ = width;
  deviceHeight_ = height;
  if (width == scene::kWidth && height == scene::kHeight) {
    scaler_.reset();
  } else {
    scaler_.emplace(width, height);
  }
}

void PageView::paint(const scene::Rect& rect) {
  const scene::Frame& frame = renderer_.frame();
  scene::Rect area = rect;
  const std::uint32_t* pixels = nullptr;
  int stride = scene::Frame::kStride;
  if (scaler_) {
    area = scaler_->cover(rect);
    if (area.empty()) {
      return;
    }
    const auto count = static_cast<std::size_t>(area.width) * static_cast<std::size_t>(area.height);
    if (scaled_.size() < count) {
      scaled_.resize(count);
    }
    scaler_->scale(frame, area, scaled_.data(), area.width);
    pixels = scaled_.data();
    stride = area.width;
  } else {
    pixels = frame.row(area.top) + area.left;
  }
  // The canvas takes red, green, blue and alpha bytes; the frame's pixels are
  // 0xFFRRGGBB words.
  rgba_.resize(static_cast<std::size_t>(area.width) * static_cast<std::size_t>(area.height) * 4);
  std::uint8_t* out = rgba_.data();
  for (int y = 0; y < area.height; ++y) {
    const std::uint32_t* row = pixels + static_cast<std::ptrdiff_t>(y) * stride;
    for (int x = 0; x < area.width; ++x) {
      const std::uint32_t pixel = row[x];
      *out++ = static_cast<std::uint8_t>(pixel >> 16);
      *out++ = static_cast<std::uint8_t>(pixel >> 8);
      *out++ = static_cast<std::uint8_t>(pixel);
      *out++ = 255;
    }
  }
  page::paint(area.left, area.top, area.width, area.height, rgba_.data());
}

void PageView::refreshText() {
  const auto& labels = form_.labels();
  for (std::size_t index = 0; index < labels.size(); ++index) {
    const Label& label = *labels[index];
    const Caption now{label.Visible, label.Left,   label.Top,
                      label.Width,   label.Height, label.Caption};
    if (captions_[index] != now) {
      captions_[index] = now;
      page::label(static_cast<int>(index), now.visible, now.left, now.top, now.width, now.height,
                  now.text);
    }
  }
  int index = 0;
  for (const CommandButton* model : {&form_.Command1, &form_.Command2}) {
    const Button now{model->Caption, model->Enabled};
    auto& shown = buttons_[static_cast<std::size_t>(index)];
    if (shown != now) {
      shown = now;
      page::button(index + 1, now.caption, now.enabled);
    }
    ++index;
  }
  const auto& items = form_.Score.items();
  for (; scoreItems_ < items.size(); ++scoreItems_) {
    page::scoreItem(items[scoreItems_]);
  }
  if (title_ != form_.Form.Caption.get()) {
    title_ = form_.Form.Caption.get();
    page::title(*title_);
  }
}

}  // namespace torvin::web
