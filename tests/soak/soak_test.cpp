// Hours of random play through the game, checking its rules after every event.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "sim/simulator.h"
#include "support/random_play.h"

namespace torvin::testing {
namespace {

struct Soak {
  long long events = 0;
  int bikeChanges = 0;
  Integer topScore = 0;
};

Soak soak(std::uint32_t seed, long long lengthMs) {
  std::istringstream in(randomPlayScript(seed, lengthMs));
  std::ostringstream out;
  sim::Options options{TORVIN_TEST_ASSETS, 700, false, {}};
  sim::Simulator* simulator = nullptr;
  Soak result;
  Integer lastTotal = 0;
  std::string lastBike = "01";
  options.afterEvent = [&](int timer) {
    const Form1& form = simulator->form();
    const GameState& game = form.game;
    ++result.events;
    ASSERT_TRUE(game.trickBusy >= 0 && game.trickBusy <= 2) << game.trickBusy;
    ASSERT_EQ(form.Score.items().size(), static_cast<std::size_t>(simulator->pauses()))
        << "one score line per fall or crash";
    ASSERT_GE(game.totalScore, lastTotal) << "the total never goes down";
    ASSERT_GE(game.runScore, 0);
    lastTotal = game.totalScore;
    ASSERT_GE(game.bikeId, lastBike) << "bikes only move forward";
    result.bikeChanges += game.bikeId != lastBike;
    lastBike = game.bikeId;
    for (Integer count : {game.manualCount, game.noseManualCount}) {
      ASSERT_TRUE(count >= -1 && count <= 19) << count;
    }
    ASSERT_TRUE(game.hopStep >= 2 && game.hopStep <= 32) << game.hopStep;
    if (timer == 4) {
      ASSERT_LE(form.Image1.Top, kGroundTop) << "below the ground after a referee tick";
    }
  };
  sim::Simulator sim(options, sim::readScript(in), out);
  simulator = &sim;
  sim.run();
  result.topScore = lastTotal;
  return result;
}

TEST(Soak, RandomPlayKeepsTheRulesForHours) {
  constexpr long long kHour = 3600LL * 1000;
  for (std::uint32_t seed : {1U, 2U, 3U}) {
    const Soak result = soak(seed, kHour);
    // Ticks that would change nothing are passed over: about 90 events a second
    // are left.
    EXPECT_GT(result.events, 250'000) << seed;
  }
  // Long enough for the total to reach its ceiling and stop there; longer when
  // TORVIN_SOAK_HOURS asks for more.
  const char* asked = std::getenv("TORVIN_SOAK_HOURS");
  const long long hours = std::max(6LL, asked != nullptr ? std::atoll(asked) : 0LL);
  const Soak longPlay = soak(7, hours * kHour);
  EXPECT_EQ(longPlay.topScore, 32767);
  EXPECT_EQ(longPlay.bikeChanges, 2);
}

}  // namespace
}  // namespace torvin::testing
