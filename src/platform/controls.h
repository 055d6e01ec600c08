// The control kinds of the game window: pictures, lines, labels, the list box,
// push buttons and timers. They are plain objects; a host reads them to draw the
// window and hears about the changes it must react to through the Platform.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/colour.h"
#include "platform/picture.h"

namespace torvin {

class Platform;

// Shared by all controls of one window: the platform to notify and a counter
// that grows whenever anything visible changes, so a host repaints only then.
struct ControlHub {
  Platform* platform = nullptr;
  std::uint64_t revision = 0;
};

// A property whose assignment counts as a visible change when the value differs.
template <class T>
class Prop {
 public:
  Prop(ControlHub& hub, T value) : hub_(&hub), value_(std::move(value)) {}
  Prop(const Prop&) = delete;
  // Assigning one property from another copies the value, as in `Image2.Left = Line6.X1`.
  Prop& operator=(const Prop& other) { return *this = other.value_; }

  operator const T&() const { return value_; }  // NOLINT(google-explicit-constructor)
  const T& get() const { return value_; }

  Prop& operator=(T value) {
    if (!(value == value_)) {
      value_ = std::move(value);
      ++hub_->revision;
    }
    return *this;
  }
  Prop& operator+=(T delta) { return *this = static_cast<T>(value_ + delta); }
  Prop& operator-=(T delta) { return *this = static_cast<T>(value_ - delta); }

 private:
  ControlHub* hub_;
  T value_;
};

// A fixed place in the window, for controls that never move.
struct Rect {
  float left = 0;
  float top = 0;
  float width = 0;
  float height = 0;
};

class Control {
 public:
  Control(ControlHub& hub, std::string name) : hub_(hub), name_(std::move(name)) {}
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;
  const std::string& name() const { return name_; }

 protected:
  ControlHub& hub_;

 private:
  std::string name_;
};

// A picture control (an Image): shows its picture unscaled with the picture's
// top-left corner at (Left, Top), clipped to Width x Height. Assigning a picture
// sizes the control to the picture; a later Width or Height clips it.
class PictureBox : public Control {
 public:
  PictureBox(ControlHub& hub, std::string name, float left, float top, float width, float height)
      : Control(hub, std::move(name)),
        Left(hub, left),
        Top(hub, top),
        Width(hub, width),
        Height(hub, height) {}

  Prop<float> Left;
  Prop<float> Top;
  Prop<float> Width;
  Prop<float> Height;

  const std::optional<Picture>& picture() const { return picture_; }
  void setPicture(Picture picture);

 private:
  std::optional<Picture> picture_;
};

// A one-pixel black line from (X1, Y1) to (X2, Y2); a hidden line draws nothing.
class Line : public Control {
 public:
  Line(ControlHub& hub, std::string name, float x1, float y1, float x2, float y2, bool visible)
      : Control(hub, std::move(name)),
        X1(hub, x1),
        Y1(hub, y1),
        X2(hub, x2),
        Y2(hub, y2),
        Visible(hub, visible) {}

  Prop<float> X1;
  Prop<float> Y1;
  Prop<float> X2;
  Prop<float> Y2;
  Prop<bool> Visible;
};

// A label fills its rectangle with its BackColor and shows its caption in it.
class Label : public Control {
 public:
  Label(ControlHub& hub, std::string name, float left, float top, float width, float height,
        std::string caption, Colour back)
      : Control(hub, std::move(name)),
        Left(hub, left),
        Top(hub, top),
        Width(hub, width),
        Height(hub, height),
        Caption(hub, std::move(caption)),
        BackColor(hub, back),
        Visible(hub, true) {}

  Prop<float> Left;
  Prop<float> Top;
  Prop<float> Width;
  Prop<float> Height;
  Prop<std::string> Caption;
  Prop<Colour> BackColor;
  Prop<bool> Visible;
};

// A list box: lines of text, appended at the end.
class ListBox : public Control {
 public:
  ListBox(ControlHub& hub, std::string name, Rect place)
      : Control(hub, std::move(name)), rect(place) {}

  const Rect rect;

  const std::vector<std::string>& items() const { return items_; }
  void AddItem(std::string item);

 private:
  std::vector<std::string> items_;
};

// A push button; a disabled button ignores clicks.
class CommandButton : public Control {
 public:
  CommandButton(ControlHub& hub, std::string name, Rect place, std::string caption, int tabPosition)
      : Control(hub, std::move(name)),
        rect(place),
        tabIndex(tabPosition),
        Caption(hub, std::move(caption)),
        Enabled(hub, true) {}

  const Rect rect;
  const int tabIndex;  // 0 comes first in the tab order
  Prop<std::string> Caption;
  Prop<bool> Enabled;
};

// A timer ticks every Interval milliseconds while Interval is above 0. Giving it
// the Interval it already has keeps its countdown; another value restarts it;
// 0 stops it. The host keeps the clock and hears of every change.
class Timer : public Control {
 public:
  Timer(ControlHub& hub, std::string name, int number)
      : Control(hub, std::move(name)), number_(number) {}

  int number() const { return number_; }
  int Interval() const { return interval_; }
  void setInterval(int interval);

 private:
  int number_;
  int interval_ = 0;
};

}  // namespace torvin
