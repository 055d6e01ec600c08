// Colours of the window and its labels.
#pragma once

#include <cstdint>
#include <string>

namespace torvin {

struct Colour {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;

  friend bool operator==(const Colour&, const Colour&) = default;

  // "#RRGGBB"
  std::string hex() const;
};

constexpr Colour rgb(int red, int green, int blue) {
  return Colour{static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green),
                static_cast<std::uint8_t>(blue)};
}

// The system colour of the active window's caption text (white in the standard scheme).
inline constexpr Colour kCaptionTextColour = rgb(255, 255, 255);

// Colour 10 of the standard sixteen-colour palette: light green.
inline constexpr Colour kLightGreen = rgb(0, 255, 0);

}  // namespace torvin
