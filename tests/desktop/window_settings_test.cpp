// What of a kept window a new start takes: never a size larger than the screen,
// never a place off it.
#include <gtest/gtest.h>

#include "desktop/window_settings.h"

namespace torvin::desktop {
namespace {

TEST(KeptWindow, OnlyWhatFitsTheScreenIsTaken) {
  const QRect screen(0, 0, 1280, 1024);  // the area for windows
  const struct {
    QRect kept;
    std::optional<QSize> size;
    std::optional<QPoint> place;
  } cases[] = {
      {{100, 50, 800, 500}, QSize(800, 500), QPoint(100, 50)},
      {{0, 0, 1280, 1024}, QSize(1280, 1024), QPoint(0, 0)},  // the whole screen
      {{0, 0, 1281, 600}, std::nullopt, std::nullopt},
      {{0, 0, 600, 1025}, std::nullopt, std::nullopt},
      {{0, 0, 20000, 20000}, std::nullopt, std::nullopt},
      {{0, 0, 0, 500}, std::nullopt, std::nullopt},
      {{0, 0, -5, 500}, std::nullopt, std::nullopt},
      // Partly or wholly off the screen: the size, at a new window's place.
      {{900, 100, 800, 500}, QSize(800, 500), std::nullopt},
      {{-1, 100, 800, 500}, QSize(800, 500), std::nullopt},
      {{-(1 << 24), -(1 << 24), 800, 500}, QSize(800, 500), std::nullopt},
      {{5000, 5000, 531, 343}, QSize(531, 343), std::nullopt},
  };
  for (const auto& [kept, size, place] : cases) {
    const Placement placement = fitToScreen({kept, false, false}, screen);
    EXPECT_EQ(placement.size, size)
        << kept.x() << "," << kept.y() << " " << kept.width() << "x" << kept.height();
    EXPECT_EQ(placement.place, place) << kept.x() << "," << kept.y();
  }
  // On a screen whose area for windows does not start at the corner.
  EXPECT_EQ(fitToScreen({{0, 0, 800, 500}, false, false}, QRect(0, 30, 1280, 994)).place,
            std::nullopt);
  EXPECT_EQ(fitToScreen({{0, 30, 800, 500}, false, false}, QRect(0, 30, 1280, 994)).place,
            QPoint(0, 30));
  const Placement maximised = fitToScreen({{10, 10, 600, 400}, true, false}, screen);
  EXPECT_TRUE(maximised.maximised);
  EXPECT_FALSE(maximised.fullScreen);
}

}  // namespace
}  // namespace torvin::desktop
