// Load, paint, "Start" and "How to".
#include <gtest/gtest.h>

#include "shell/form1.h"
#include "support/fake_platform.h"

namespace torvin {
namespace {

class Startup : public ::testing::Test {
 protected:
  testing::FakePlatform platform;
  Form1 form{platform};
};

TEST_F(Startup, WindowIsCreatedWithItsDesignLayout) {
  EXPECT_EQ(form.Form.Caption.get(), "Torvin");
  EXPECT_EQ(form.Form.BackColor.get().hex(), "#FFFFFF");
  EXPECT_EQ(form.Image1.Top, 176);
  EXPECT_EQ(form.Image6.Top, -8);
  EXPECT_EQ(form.Line6.X1, 1600);
  EXPECT_EQ(form.Line6.Y2, 208);
  EXPECT_FALSE(form.Line2.Visible);
  EXPECT_TRUE(form.Line6.Visible);
  EXPECT_EQ(form.Label5.BackColor.get().hex(), "#FF8080");
  EXPECT_EQ(form.Command2.tabIndex, 0);
  EXPECT_FALSE(form.Image1.picture());
  for (int n = 1; n <= 8; ++n) {
    EXPECT_EQ(form.timer(n).Interval(), 0) << n;
  }
  EXPECT_EQ(form.game.bikeId, "");
  EXPECT_EQ(form.game.hopStep, 0);
}

TEST_F(Startup, LoadGivesTheFirstValuesAndStartsTheTrickTimers) {
  form.Form_Load();
  EXPECT_TRUE(form.Form.KeyPreview);
  EXPECT_EQ(form.game.bikeId, "01");
  EXPECT_EQ(form.game.hopStep, 32);
  EXPECT_EQ(form.game.hopStepLimit, 0);
  EXPECT_EQ(form.game.courseRunning, 0);
  EXPECT_EQ(form.game.appPath, "/game");  // pictures are found even before "Start"
  using Change = std::pair<std::string, int>;
  EXPECT_EQ(
      platform.intervals,
      (std::vector<Change>{
          {"Timer1", 200}, {"Timer3", 200}, {"Timer5", 180}, {"Timer7", 70}, {"Timer8", 170}}));
  for (const Label* label : {&form.Label2, &form.Label3, &form.Label4, &form.Label5}) {
    EXPECT_FALSE(label->Visible) << label->name();
  }
  EXPECT_TRUE(form.Label1.Visible);
}

TEST_F(Startup, LoadChecksEveryPictureAndNamesAllBadOnes) {
  EXPECT_EQ(Form1::pictureCatalogue().size(), 3U * 31U + 6U);
  platform.missing = {"017.jpg", "bg006.gif"};
  try {
    form.Form_Load();
    FAIL() << "a missing picture must stop the game at load";
  } catch (const PictureError& error) {
    // A heading, then one line for each bad picture, in the catalogue's order.
    EXPECT_EQ(std::string(error.what()),
              "These pictures of the game are missing or unreadable:\n"
              "/game/01/017.jpg: missing\n"
              "/game/02/017.jpg: missing\n"
              "/game/03/017.jpg: missing\n"
              "/game/bg006.gif: missing");
  }
}

TEST_F(Startup, PaintDrawsTheGroundLineAcrossTheWindow) {
  form.Form_Paint();
  ASSERT_EQ(platform.drawnLines.size(), 1U);
  const auto& line = platform.drawnLines[0];
  EXPECT_EQ(line.x1, 0);
  EXPECT_EQ(line.y1, 296);
  EXPECT_GE(line.x2, 531);
  EXPECT_EQ(line.y2, 296);
}

TEST_F(Startup, StartLaysOutTheSceneInOrder) {
  platform.sizes["bg001.gif"] = {640, 47, 1};
  platform.sizes["bg003.gif"] = {120, 60, 2};
  platform.sizes["bg007.gif"] = {400, 296, 3};
  form.Form_Load();
  platform.folder = "/elsewhere";
  form.click(form.Command1);

  EXPECT_EQ(form.game.appPath, "/elsewhere");
  EXPECT_EQ(form.Form.BackColor.get().hex(), "#96D5FF");
  EXPECT_EQ(form.Image1.Top, 182);
  EXPECT_EQ(form.Image1.picture()->name, "01/002.jpg");
  EXPECT_EQ(platform.loads.back(), "/elsewhere/bg007.gif");
  // Sizes set before a picture give way to the picture's own size...
  EXPECT_EQ(form.Image3.Width, 120);
  EXPECT_EQ(form.Image3.Height, 60);
  EXPECT_EQ(form.Image9.Width, 400);
  // ... sizes set after it clip it.
  EXPECT_EQ(form.Image6.Width, 600);
  EXPECT_EQ(form.Image6.Height, 284);
  EXPECT_EQ(form.Image6.picture()->width, 640);
  EXPECT_EQ(form.Image7.Left, -580);
  EXPECT_EQ(form.Image8.Left, 620);
  EXPECT_EQ(form.Image3.Top, 5);
  EXPECT_EQ(form.Image3.Left, 600);
  EXPECT_EQ(form.Image9.Left, 5000);

  EXPECT_EQ(form.Timer2.Interval(), 40);
  EXPECT_EQ(form.Timer4.Interval(), 1);
  EXPECT_EQ(form.Timer6.Interval(), 100);
  EXPECT_EQ(form.game.courseRunning, 1);
  EXPECT_EQ(form.game.hopStepLimit, 32);
  EXPECT_EQ(form.game.flightStep, 32);
  EXPECT_FALSE(form.Command1.Enabled);
}

TEST_F(Startup, StartClearsRequestsKeepsTotalAndBikeAndRestoresTheHop) {
  form.Form_Load();
  form.game.totalScore = 420;
  form.game.bikeId = "02";
  form.game.hopStep = 8;  // Start pressed in the middle of a hop
  forEachField(form.game, [](const char* name, auto& value) {
    if constexpr (std::is_same_v<std::decay_t<decltype(value)>, Integer>) {
      const std::string field = name;
      if (field.ends_with("State") || field.ends_with("Count") || field.ends_with("Unlocked")) {
        value = 7;
      }
    }
  });
  form.game.trickBusy = 1;
  form.game.onRamp = 1;
  form.game.rampLaunched = 1;
  form.game.runScore = 99;

  form.click(form.Command1);

  forEachField(form.game, [](const char* name, const auto& value) {
    if constexpr (std::is_same_v<std::decay_t<decltype(value)>, Integer>) {
      const std::string field = name;
      if (field.ends_with("State") || field.ends_with("Count") || field.ends_with("Unlocked")) {
        EXPECT_EQ(value, 0) << field;
      }
    }
  });
  EXPECT_EQ(form.game.trickBusy, 0);
  EXPECT_EQ(form.game.onRamp, 0);
  EXPECT_EQ(form.game.rampLaunched, 0);
  EXPECT_EQ(form.game.runScore, 0);
  EXPECT_EQ(form.game.totalScore, 420);
  EXPECT_EQ(form.game.bikeId, "02");
  EXPECT_EQ(form.game.hopStep, 32);
  EXPECT_EQ(form.game.hopStepLimit, 32);
  EXPECT_EQ(form.game.flightStep, 32);
  EXPECT_EQ(form.Image1.picture()->name, "02/002.jpg");
}

TEST_F(Startup, StartWorksOnlyOnce) {
  form.Form_Load();
  form.click(form.Command1);
  form.Image1.Top = 100;
  form.click(form.Command1);  // the button is disabled now
  EXPECT_EQ(form.Image1.Top, 100);
}

TEST_F(Startup, HowToShowsTheThreeHelpTextsInOrderAnyTime) {
  form.Form_Load();
  form.click(form.Command2);
  form.click(form.Command1);
  form.click(form.Command2);
  const std::vector<std::string> help = {
      "Trick list: Bunny hop - H;   Can-Can - Q;   No hander - W; Superman - E; Backflip - R; "
      "Frontflip - T; Candy Bar - Y; 360 - U; Tabletop - I; Nothing - D; Tailwhip - F; "
      "Barspin - G",
      "Manual - A (press every second!); Nose Manual - S (press every second!)", ""};
  std::vector<std::string> twice = help;
  twice.insert(twice.end(), help.begin(), help.end());
  EXPECT_EQ(platform.messages, twice);
}

}  // namespace
}  // namespace torvin
