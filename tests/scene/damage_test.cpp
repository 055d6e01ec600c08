// The renderer's damage is exact: after every event of real and random games,
// a frame that took from the renderer only the rectangles it called changed is
// pixel for pixel the scene composed whole. The games hold pictures wider than
// the scene, pictures moved off and back on, scenery placed anew, the ramp line
// across the secret labels, pictures of the same size put in each other's
// place and bike changes; random changes to every control go further still.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <sstream>

#include "scene/renderer.h"
#include "support/kept_frames.h"
#include "support/random_play.h"
#include "support/script_player.h"

namespace torvin::scene {
namespace {

const std::string kSource = TORVIN_SOURCE_DIR;

// Thrown at the first frame that differs, to end the game there.
struct Differs {
  std::string what;
};

// Keeps a frame from the damaged rectangles alone and compares it with a whole
// composition after every change.
class Patched {
 public:
  explicit Patched(const PictureStore& pictures) : incremental_(pictures), whole_(pictures) {}

  // The renderer the paint handler's lines go to now, if any.
  Renderer* painting() const { return painting_; }

  // Throws Differs when the patched frame is not the whole scene.
  void check(Form1& form, const std::string& when) {
    painting_ = &incremental_;
    const std::vector<Rect>& damage = incremental_.update(form);
    painting_ = nullptr;
    ++checks_;
    if (checks_ > 1 && form.revision() == revision_) {
      // Nothing the scene is made of changed (every control property counts in
      // the revision): nothing may be damaged, and the whole scene is the one
      // already compared.
      if (!damage.empty()) {
        throw Differs{when + ": damage where nothing changed"};
      }
      return;
    }
    revision_ = form.revision();
    for (std::size_t i = 0; i < damage.size(); ++i) {
      if (!kWhole.contains(damage[i])) {
        throw Differs{when + ": a rectangle outside the scene"};
      }
      for (std::size_t j = i + 1; j < damage.size(); ++j) {
        if (damage[i].intersects(damage[j])) {
          throw Differs{when + ": rectangles that overlap"};
        }
      }
      damaged_ += damage[i].area();
    }
    for (const Rect& rect : damage) {
      for (int y = rect.top; y < rect.bottom(); ++y) {
        std::memcpy(patched_.row(y) + rect.left, incremental_.frame().row(y) + rect.left,
                    static_cast<std::size_t>(rect.width) * sizeof(std::uint32_t));
      }
    }
    whole_.forget();
    painting_ = &whole_;
    whole_.update(form);
    painting_ = nullptr;
    const Frame& whole = whole_.frame();
    if (!(patched_ == whole)) {
      int stale = 0;
      for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
          stale += patched_.pixel(x, y) != whole.pixel(x, y) ? 1 : 0;
        }
      }
      throw Differs{when + ": " + std::to_string(stale) + " stale pixels"};
    }
  }

  long long checks() const { return checks_; }
  // Damaged pixels per check, on average.
  double damagedPerCheck() const {
    return checks_ == 0 ? 0.0 : static_cast<double>(damaged_) / static_cast<double>(checks_);
  }

 private:
  Renderer incremental_;
  Renderer whole_;  // composes the whole scene every time
  Frame patched_;
  Renderer* painting_ = nullptr;
  long long checks_ = 0;
  long long damaged_ = 0;
  std::uint64_t revision_ = 0;
};

// A game played from a script, checked after every event.
class CheckedGame final : public torvin::testing::ScriptPlayer {
 public:
  CheckedGame(std::vector<script::Action> script, std::optional<long long> autoclose)
      : ScriptPlayer(std::move(script), autoclose), patched_(pictures_) {}

  DecodedPicture loadPicture(const std::string& path) override { return pictures_.load(path); }
  std::string programFolder() override { return TORVIN_TEST_ASSETS; }
  void drawLine(float x1, float y1, float x2, float y2) override {
    if (patched_.painting() != nullptr) {
      patched_.painting()->drawLine(x1, y1, x2, y2);
    }
  }

  const Patched& patched() const { return patched_; }
  // The bikes the game rode, and whether the ramp line crossed a shown label.
  std::vector<std::string> bikes;
  bool rampAcrossLabel = false;

 protected:
  void eventHandled(int timer) override {
    patched_.check(form_,
                   "t=" + std::to_string(clock()) + " after " +
                       (timer == 0 ? std::string("an input") : "Timer" + std::to_string(timer)));
    if (bikes.empty() || bikes.back() != form_.game.bikeId) {
      bikes.push_back(form_.game.bikeId);
    }
    rampAcrossLabel |=
        form_.Label2.Visible && form_.Line6.X1 < form_.Label2.Left + form_.Label2.Width;
  }

 private:
  PictureStore pictures_;
  Patched patched_;
};

std::vector<script::Action> script(const std::string& text) {
  std::istringstream in(text);
  return script::readScript(in);
}

TEST(Damage, TheWholeGameWithEveryBikeAndEveryLabel) {
  CheckedGame game(script::readScriptFile(kSource + "/tests/scenarios/whole_game.script"),
                   std::nullopt);
  try {
    game.run();
  } catch (const Differs& differs) {
    FAIL() << differs.what;
  }
  EXPECT_EQ(game.bikes, (std::vector<std::string>{"01", "02", "03"}));
  EXPECT_TRUE(game.rampAcrossLabel);
  EXPECT_GT(game.patched().checks(), 10000) << game.patched().checks();
  // Far less than the whole scene changes from one event to the next.
  EXPECT_LT(game.patched().damagedPerCheck(), kWhole.area() / 4);
}

TEST(Damage, RandomGamesWithFallsAndMessageBoxes) {
  for (const std::uint32_t seed : {11U, 12U, 13U}) {
    SCOPED_TRACE(seed);
    CheckedGame game(script("0 click Command1\n" + torvin::testing::randomPlayScript(seed, 90000)),
                     700);
    try {
      game.run();
    } catch (const Differs& differs) {
      FAIL() << "seed " << seed << ", " << differs.what;
    }
  }
}

// The scene alone, with pictures of the test's own, changed at random.
class Stage final : public Platform {
 public:
  Stage() : form(*this), patched(store) {}

  DecodedPicture loadPicture(const std::string& /*path*/) override { return {}; }
  void messageBox(const std::string& /*text*/) override {}
  void pause() override {}
  std::string programFolder() override { return {}; }
  void drawLine(float x1, float y1, float x2, float y2) override {
    if (patched.painting() != nullptr) {
      patched.painting()->drawLine(x1, y1, x2, y2);
    }
  }
  void intervalChanged(const Timer& /*timer*/) override {}

  Picture add(int width, int height, std::uint32_t seed) {
    picture::Image image;
    image.width = width;
    image.height = height;
    std::mt19937 random(seed);
    for (int i = 0; i < width * height; ++i) {
      image.pixels.push_back(random() % 4 == 0 ? 0U : 0xFF000000U | (random() & 0xFFFFFFU));
    }
    const std::string name = "picture" + std::to_string(seed) + ".gif";
    const DecodedPicture kept = store.keep(name, std::move(image));
    return Picture{name, kept.width, kept.height, kept.handle};
  }

  PictureStore store;
  Form1 form;
  Patched patched;
};

TEST(Damage, RandomChangesToEveryControl) {
  Stage stage;
  Form1& form = stage.form;
  // Two pictures of the same size with different pixels, a strip wider than the
  // scene, one taller, a dot.
  const std::vector<Picture> pictures = {stage.add(114, 114, 1), stage.add(114, 114, 2),
                                         stage.add(700, 47, 3),  stage.add(90, 400, 4),
                                         stage.add(1, 1, 5),     stage.add(360, 296, 6)};
  const std::array<PictureBox*, 9> images = {&form.Image9, &form.Image8, &form.Image7,
                                             &form.Image6, &form.Image5, &form.Image4,
                                             &form.Image3, &form.Image2, &form.Image1};
  const std::array<Label*, 5> labels = {&form.Label1, &form.Label2, &form.Label3, &form.Label4,
                                        &form.Label5};
  const std::array<Line*, 5> lines = {&form.Line6, &form.Line5, &form.Line4, &form.Line3,
                                      &form.Line2};
  std::mt19937 random(7);
  const auto below = [&random](int n) {
    return static_cast<int>(random() % static_cast<std::uint32_t>(n));
  };
  const auto any = [&below](int from, int to) {
    return static_cast<float>(from + below(to - from + 1)) + static_cast<float>(below(4)) * 0.25F;
  };
  for (PictureBox* image : images) {
    image->setPicture(pictures[static_cast<std::size_t>(below(6))]);
  }
  try {
    for (int step = 0; step < 4000; ++step) {
      for (int change = below(3) + 1; change > 0; --change) {
        PictureBox& image = *images[static_cast<std::size_t>(below(9))];
        Label& label = *labels[static_cast<std::size_t>(below(5))];
        Line& line = *lines[static_cast<std::size_t>(below(5))];
        switch (below(12)) {
          case 0:  // another picture, often one of the same size
            image.setPicture(
                pictures[static_cast<std::size_t>(below(2) == 0 ? below(2) : below(6))]);
            break;
          case 1:  // scrolled a little, as the course does
            image.Left -= static_cast<float>(below(40)) + 0.5F * static_cast<float>(below(2));
            break;
          case 2:  // off the scene, or back on it
            image.Left = below(2) == 0 ? any(-1500, -600) : any(-100, 600);
            break;
          case 3:
            image.Top = any(-150, 380);
            break;
          case 4:  // a box that clips the picture, or a wide one that does not
            image.Width = below(2) == 0 ? any(-2, 200) : 2000;
            image.Height = below(2) == 0 ? any(-2, 200) : 2000;
            break;
          case 5:
            label.Visible = !label.Visible;
            break;
          case 6:
            label.Left = any(-30, 540);
            label.Top = any(-20, 350);
            break;
          case 7:
            label.BackColor = rgb(below(256), below(256), below(256));
            break;
          case 8:  // the ramp comes nearer, across the labels
            line.X1 -= 8;
            line.X2 -= 8;
            if (line.X1 < -100) {
              line.X1 = 600;
              line.X2 = 688;
            }
            break;
          case 9:
            line.Visible = !line.Visible;
            break;
          case 10:
            line.X2 = any(-50, 600);
            line.Y2 = any(-50, 400);
            break;
          default:
            if (below(20) == 0) {
              form.Form.BackColor = rgb(below(256), below(256), below(256));
            }
            break;
        }
      }
      stage.patched.check(form, "step " + std::to_string(step));
    }
  } catch (const Differs& differs) {
    FAIL() << differs.what;
  }
}

}  // namespace
}  // namespace torvin::scene
