// The control kinds the game relies on.
#include <gtest/gtest.h>

#include "platform/controls.h"
#include "platform/integer.h"
#include "platform/random.h"
#include "support/fake_platform.h"

namespace torvin {
namespace {

TEST(PictureControl, TakesThePictureSizeThenClipsToALaterSize) {
  testing::FakePlatform platform;
  ControlHub hub{&platform, 0};
  PictureBox image(hub, "Image1", 136, 176, 145, 121);

  image.Width = 114;  // a size set before the picture does not last
  image.setPicture(Picture{"01/005.jpg", 120, 140, 3});
  EXPECT_EQ(image.Width, 120);
  EXPECT_EQ(image.Height, 140);

  image.Height = 114;  // a size set after it clips the picture
  EXPECT_EQ(image.Height, 114);
  EXPECT_EQ(image.picture()->height, 140);
  EXPECT_EQ(image.Left, 136);  // the place stays
  EXPECT_EQ(image.Top, 176);

  // Every assignment is reported, even of the picture already shown.
  image.setPicture(Picture{"01/005.jpg", 120, 140, 3});
  EXPECT_EQ(platform.shown, (std::vector<std::string>{"01/005.jpg", "01/005.jpg"}));
}

// A new picture of the same size changes nothing but what is seen (the fallen
// rider in place of the riding one): the host must still repaint.
TEST(PictureControl, APictureOfTheSameSizeIsAVisibleChange) {
  testing::FakePlatform platform;
  ControlHub hub{&platform, 0};
  PictureBox image(hub, "Image1", 136, 182, 114, 114);
  image.setPicture(Picture{"01/002.jpg", 114, 114, 1});
  const std::uint64_t riding = hub.revision;
  image.setPicture(Picture{"01/000.jpg", 114, 114, 2});
  EXPECT_GT(hub.revision, riding);
}

TEST(Controls, OnlyRealChangesCountAsVisible) {
  testing::FakePlatform platform;
  ControlHub hub{&platform, 0};
  Line line(hub, "Line6", 1600, 296, 1688, 208, true);
  Label label(hub, "Label2", 0, 272, 49, 25, "Secret trick 1", rgb(255, 128, 128));

  line.X1 = 1600;
  label.Caption = std::string("Secret trick 1");
  EXPECT_EQ(hub.revision, 0U);
  line.X1 -= 4;
  label.BackColor = kLightGreen;
  EXPECT_EQ(hub.revision, 2U);
  EXPECT_EQ(line.X1, 1596);
  EXPECT_EQ(label.BackColor.get().hex(), "#00FF00");
}

TEST(TimerControl, OnlyANewIntervalRestartsOrStopsIt) {
  testing::FakePlatform platform;
  ControlHub hub{&platform, 0};
  Timer timer(hub, "Timer5", 5);
  timer.setInterval(180);
  timer.setInterval(180);  // the same value keeps the countdown: no news for the host
  timer.setInterval(130);
  timer.setInterval(0);
  using Change = std::pair<std::string, int>;
  EXPECT_EQ(platform.intervals,
            (std::vector<Change>{{"Timer5", 180}, {"Timer5", 130}, {"Timer5", 0}}));
}

TEST(ListControl, AppendsAtTheEnd) {
  testing::FakePlatform platform;
  ControlHub hub{&platform, 0};
  ListBox score(hub, "Score", {496, 16, 33, 314});
  score.AddItem("35");
  score.AddItem("0");
  EXPECT_EQ(score.items(), (std::vector<std::string>{"35", "0"}));
  EXPECT_EQ(platform.items, score.items());
}

// The scenery lands at the same random places in every run on every machine:
// the sequence is fixed to the last bit. The values are multiples of 2^-24.
TEST(RandomNumbers, TheSameSequenceEveryTimeInRange) {
  Random random;
  for (int expected : {11837123, 8949370, 9722709, 4858052, 5065847, 12997982}) {
    EXPECT_EQ(random.next(), static_cast<float>(expected) / 16777216.0F);
  }
  for (int i = 6; i < 100000; ++i) {
    const float r = random.next();
    ASSERT_GE(r, 0.0F);
    ASSERT_LT(r, 1.0F);
  }
  EXPECT_EQ(random.next(), 3744739.0F / 16777216.0F);
}

TEST(Integers, SaturateAndRoundHalvesToEven) {
  EXPECT_EQ(addInteger(32760, 10), 32767);
  EXPECT_EQ(addInteger(-32760, -10), -32768);
  EXPECT_EQ(addInteger(5, -6), -1);
  EXPECT_EQ(roundToInteger(5 * 1.1), 6);    // 5.5 goes to the even 6
  EXPECT_EQ(roundToInteger(35 * 1.1), 38);  // 38.5 goes to the even 38
  EXPECT_EQ(roundToInteger(9 * 1.1), 10);
  EXPECT_EQ(roundToInteger(3.0 / 2), 2);
  EXPECT_EQ(roundToInteger(1e9), 32767);
  EXPECT_EQ(roundToInteger(-1e9), -32768);
}

}  // namespace
}  // namespace torvin
