// The pieces under the renderer and its hosts: damage rectangles that never
// overlap and cover all that was added, and the scene scaled to any size,
// where a part scaled alone is exactly that part of the whole scaled, and a
// change in the scene reaches no target pixel outside its cover.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <random>
#include <vector>

#include "scene/damage.h"
#include "scene/scaler.h"

namespace torvin::scene {
namespace {

// A mark per scene pixel.
using Mask = std::vector<char>;

void mark(Mask& mask, const Rect& rect) {
  const Rect part = rect.intersected(kWhole);
  for (int y = part.top; y < part.bottom(); ++y) {
    for (int x = part.left; x < part.right(); ++x) {
      mask[static_cast<std::size_t>(y * kWidth + x)] = 1;
    }
  }
}

struct DamageCase {
  const char* what;
  std::vector<Rect> added;
  std::size_t mostRects;  // what it may come to
};

class DamageCases : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamageCases, CoversAllAddedWithRectanglesThatDoNotOverlap) {
  const DamageCase& given = GetParam();
  Damage damage;
  Mask added(static_cast<std::size_t>(kWidth * kHeight), 0);
  for (const Rect& rect : given.added) {
    damage.add(rect);
    mark(added, rect);
  }
  Mask held(added.size(), 0);
  for (std::size_t i = 0; i < damage.rects().size(); ++i) {
    const Rect& rect = damage.rects()[i];
    EXPECT_TRUE(kWhole.contains(rect)) << i;
    for (std::size_t j = i + 1; j < damage.rects().size(); ++j) {
      EXPECT_FALSE(rect.intersects(damage.rects()[j])) << i << " and " << j;
    }
    mark(held, rect);
  }
  for (std::size_t pixel = 0; pixel < added.size(); ++pixel) {
    ASSERT_TRUE(!added[pixel] || held[pixel]) << "pixel " << pixel << " lost";
  }
  EXPECT_LE(damage.rects().size(), given.mostRects);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamageCases,
    ::testing::Values(
        DamageCase{"nothing", {{10, 10, 0, 5}, {10, 10, 5, -1}}, 0},
        DamageCase{"outside the scene", {{-50, -50, 40, 40}, {600, 0, 10, 10}}, 0},
        DamageCase{"cut at the scene's edge", {{-50, 300, 700, 100}}, 1},
        DamageCase{"one inside another", {{0, 0, 100, 100}, {10, 10, 20, 20}}, 1},
        DamageCase{"one around another", {{10, 10, 20, 20}, {0, 0, 100, 100}}, 1},
        DamageCase{"side by side in one band", {{0, 296, 200, 47}, {200, 296, 331, 47}}, 1},
        DamageCase{"a picture moved a little", {{100, 100, 114, 114}, {104, 100, 114, 114}}, 1},
        DamageCase{"a cross", {{200, 0, 20, 343}, {0, 150, 531, 20}}, 5},
        DamageCase{"far apart", {{0, 0, 10, 10}, {500, 300, 10, 10}}, 2},
        DamageCase{"a course step",
                   {{0, 296, 531, 47},
                    {0, 296, 531, 47},
                    {60, 5, 124, 64},
                    {130, 182, 120, 114},
                    {136, 150, 114, 114},
                    {480, 182, 51, 115},
                    {480, 208, 51, 89}},
                   5}),
    [](const ::testing::TestParamInfo<DamageCase>& given) {
      std::string name = given.param.what;
      for (char& c : name) {
        c = std::isalnum(static_cast<unsigned char>(c)) != 0 ? c : '_';
      }
      return name;
    });

TEST(DamageCases, RandomRectanglesAreCoveredAndKeptApart) {
  std::mt19937 random(3);
  const auto any = [&random](int from, int to) {
    return from + static_cast<int>(random() % static_cast<std::uint32_t>(to - from + 1));
  };
  for (int round = 0; round < 300; ++round) {
    Damage damage;
    Mask added(static_cast<std::size_t>(kWidth * kHeight), 0);
    for (int n = any(1, 12); n > 0; --n) {
      const Rect rect{any(-50, 540), any(-50, 350), any(-5, 200), any(-5, 150)};
      damage.add(rect);
      mark(added, rect);
    }
    long long held = 0;
    Mask covered(added.size(), 0);
    for (std::size_t i = 0; i < damage.rects().size(); ++i) {
      for (std::size_t j = i + 1; j < damage.rects().size(); ++j) {
        ASSERT_FALSE(damage.rects()[i].intersects(damage.rects()[j])) << "round " << round;
      }
      held += damage.rects()[i].area();
      mark(covered, damage.rects()[i]);
    }
    long long wanted = 0;
    for (std::size_t pixel = 0; pixel < added.size(); ++pixel) {
      ASSERT_TRUE(!added[pixel] || covered[pixel]) << "round " << round;
      wanted += added[pixel];
    }
    // Merging wastes little: never more than twice the pixels asked for.
    EXPECT_LE(held, 2 * wanted + 1024) << "round " << round;
  }
}

// A scene of noise: every pixel differs from its neighbours.
Frame noise(std::uint32_t seed) {
  Frame frame;
  std::mt19937 random(seed);
  for (int y = 0; y < kHeight; ++y) {
    for (int x = 0; x < kWidth; ++x) {
      frame.row(y)[x] = 0xFF000000U | (random() & 0xFFFFFFU);
    }
  }
  return frame;
}

std::vector<std::uint32_t> scaleWhole(const Scaler& scaler, const Frame& frame) {
  std::vector<std::uint32_t> target(static_cast<std::size_t>(scaler.width() * scaler.height()));
  scaler.scale(frame, {0, 0, scaler.width(), scaler.height()}, target.data(), scaler.width());
  return target;
}

TEST(Scaler, WholeFactorsMakeEveryScenePixelASquare) {
  const Frame frame = noise(1);
  for (const int factor : {1, 2, 3, 4}) {
    const Scaler scaler(kWidth * factor, kHeight * factor);
    ASSERT_EQ(scaler.factor(), factor);
    const std::vector<std::uint32_t> target = scaleWhole(scaler, frame);
    for (int y = 0; y < scaler.height(); ++y) {
      for (int x = 0; x < scaler.width(); ++x) {
        ASSERT_EQ(target[static_cast<std::size_t>(y * scaler.width() + x)],
                  frame.pixel(x / factor, y / factor))
            << factor << ": " << x << "," << y;
      }
    }
    EXPECT_EQ(scaler.cover({10, 20, 30, 40}),
              (Rect{10 * factor, 20 * factor, 30 * factor, 40 * factor}));
  }
}

// Sizes smoothed and whole.
class ScaledSizes : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(ScaledSizes, APartScaledAloneIsThatPartOfTheWhole) {
  const auto [width, height] = GetParam();
  const Scaler scaler(width, height);
  const Frame frame = noise(2);
  const std::vector<std::uint32_t> whole = scaleWhole(scaler, frame);
  std::mt19937 random(5);
  for (int round = 0; round < 50; ++round) {
    const Rect scene{static_cast<int>(random() % 500), static_cast<int>(random() % 320),
                     1 + static_cast<int>(random() % 60), 1 + static_cast<int>(random() % 40)};
    // What a scene rectangle covers, or any rectangle of the target at all.
    const Rect area =
        round % 2 == 0 ? scaler.cover(scene)
                       : Rect{static_cast<int>(random() % static_cast<std::uint32_t>(width - 1)),
                              static_cast<int>(random() % static_cast<std::uint32_t>(height - 1)),
                              1 + scene.width, 1 + scene.height}
                             .intersected({0, 0, width, height});
    std::vector<std::uint32_t> part(static_cast<std::size_t>(area.width * area.height));
    scaler.scale(frame, area, part.data(), area.width);
    for (int y = 0; y < area.height; ++y) {
      for (int x = 0; x < area.width; ++x) {
        ASSERT_EQ(part[static_cast<std::size_t>(y * area.width + x)],
                  whole[static_cast<std::size_t>((area.top + y) * width + area.left + x)])
            << "a seam at " << area.left + x << "," << area.top + y;
      }
    }
  }
}

TEST_P(ScaledSizes, AChangeReachesNoPixelOutsideItsCover) {
  const auto [width, height] = GetParam();
  const Scaler scaler(width, height);
  const Frame before = noise(3);
  const std::vector<std::uint32_t> was = scaleWhole(scaler, before);
  std::mt19937 random(9);
  for (int round = 0; round < 20; ++round) {
    const Rect changed{static_cast<int>(random() % 520), static_cast<int>(random() % 330),
                       1 + static_cast<int>(random() % 11), 1 + static_cast<int>(random() % 13)};
    Frame after = before;
    for (int y = changed.top; y < std::min(changed.bottom(), kHeight); ++y) {
      for (int x = changed.left; x < std::min(changed.right(), kWidth); ++x) {
        after.row(y)[x] ^= 0x00FFFFFFU;
      }
    }
    const Rect cover = scaler.cover(changed);
    const std::vector<std::uint32_t> now = scaleWhole(scaler, after);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const bool inside =
            x >= cover.left && x < cover.right() && y >= cover.top && y < cover.bottom();
        const std::size_t at = static_cast<std::size_t>(y * width + x);
        ASSERT_TRUE(inside || now[at] == was[at]) << x << "," << y << " outside the cover";
      }
    }
  }
}

TEST_P(ScaledSizes, AFlatColourStaysThatColour) {
  const auto [width, height] = GetParam();
  Frame frame;
  for (int y = 0; y < kHeight; ++y) {
    std::fill_n(frame.row(y), kWidth, 0xFF96D5FFU);
  }
  for (const std::uint32_t pixel : scaleWhole(Scaler(width, height), frame)) {
    ASSERT_EQ(pixel, 0xFF96D5FFU);
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ScaledSizes,
                         ::testing::Values(std::pair{797, 515}, std::pair{1280, 826},
                                           std::pair{1062, 700}, std::pair{400, 258},
                                           std::pair{532, 344}, std::pair{1062, 686},
                                           std::pair{1593, 1029}, std::pair{2655, 1715}),
                         [](const ::testing::TestParamInfo<std::pair<int, int>>& size) {
                           return std::to_string(size.param.first) + "x" +
                                  std::to_string(size.param.second);
                         });

}  // namespace
}  // namespace torvin::scene
