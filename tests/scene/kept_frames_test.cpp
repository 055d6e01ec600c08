// The scene renderer against the frames the window painted before it existed:
// the same games played in the simulator, each kept moment composed and
// compared pixel for pixel.
#include <gtest/gtest.h>

#include <sstream>

#include "sim/simulator.h"
#include "support/kept_frames.h"
#include "support/png_image.h"

namespace torvin::scene {
namespace {

using torvin::testing::KeptMoments;

const std::string kSource = TORVIN_SOURCE_DIR;

class KeptFrames : public ::testing::TestWithParam<KeptMoments> {};

TEST_P(KeptFrames, TheRendererComposesWhatTheWindowPainted) {
  const KeptMoments& moments = GetParam();
  sim::Options options;
  options.assets = TORVIN_TEST_ASSETS;
  options.autoclose = moments.autoclose;
  int frames = 0;
  options.frames = [&](long long time, const Frame& frame) {
    ++frames;
    const std::string name = moments.frame(time, "scene");
    const torvin::testing::PngImage kept =
        torvin::testing::readPng(kSource + "/tests/frames/" + name + ".png");
    ASSERT_EQ(kept.width, kWidth);
    ASSERT_EQ(kept.height, kHeight);
    int differences = 0;
    Point first;
    for (int y = 0; y < kHeight; ++y) {
      for (int x = 0; x < kWidth; ++x) {
        if (frame.pixel(x, y) != kept.pixels[static_cast<std::size_t>(y * kWidth + x)] &&
            differences++ == 0) {
          first = {x, y};
        }
      }
    }
    if (differences > 0) {
      const std::string actual = std::string(TORVIN_BINARY_DIR) + "/" + name + "-actual.png";
      torvin::testing::writePng(actual, kWidth, kHeight, frame.data(), Frame::kStride);
      ADD_FAILURE() << name << ": " << differences << " pixels differ, the first at " << first.x
                    << "," << first.y << "; the renderer's frame is in " << actual;
    }
  };
  std::ostringstream out;
  sim::Simulator simulator(
      options, torvin::testing::scriptWithDumps(kSource + "/" + moments.script, moments.times),
      out);
  simulator.run();
  EXPECT_EQ(frames, static_cast<int>(moments.times.size()));
}

INSTANTIATE_TEST_SUITE_P(Games, KeptFrames, ::testing::ValuesIn(torvin::testing::kKeptMoments),
                         [](const ::testing::TestParamInfo<KeptMoments>& moments) {
                           return std::string(moments.param.name);
                         });

}  // namespace
}  // namespace torvin::scene
