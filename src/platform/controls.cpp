#include "platform/controls.h"

#include <cstdio>

#include "platform/platform.h"

namespace torvin {

std::string Colour::hex() const {
  char text[8];
  std::snprintf(text, sizeof text, "#%02X%02X%02X", red, green, blue);
  return text;
}

void PictureBox::setPicture(Picture picture) {
  Width = static_cast<float>(picture.width);
  Height = static_cast<float>(picture.height);
  picture_ = std::move(picture);
  ++hub_.revision;
  if (hub_.platform != nullptr) {
    hub_.platform->pictureAssigned(*this);
  }
}

void ListBox::AddItem(std::string item) {
  items_.push_back(std::move(item));
  ++hub_.revision;
  if (hub_.platform != nullptr) {
    hub_.platform->itemAdded(*this, items_.back());
  }
}

void Timer::setInterval(int interval) {
  if (interval == interval_) {
    return;  // the same value keeps the countdown running
  }
  interval_ = interval;
  if (hub_.platform != nullptr) {
    hub_.platform->intervalChanged(*this);
  }
}

}  // namespace torvin
