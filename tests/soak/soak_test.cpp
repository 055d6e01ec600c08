// Hours of random play through the game, checking its rules after every event.
// The first broken rule ends the run at once and is reported once, with the
// virtual time and the event that broke it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>

#include "script/reader.h"
#include "sim/simulator.h"
#include "support/random_play.h"

namespace torvin::testing {
namespace {

struct Soak {
  long long events = 0;
  int bikeChanges = 0;
  Integer topScore = 0;
  std::optional<std::string> broken;  // the first broken rule, if any
};

// Thrown by the check after an event to end the run at the first broken rule.
struct BrokenRule {
  std::string what;
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
    auto rule = [&](bool kept, const std::string& what) {
      if (!kept) {
        std::ostringstream where;
        where << "seed " << seed << ", t=" << simulator->clock() << ", after "
              << (timer == 0 ? std::string("a script line") : "Timer" + std::to_string(timer))
              << ": " << what;
        throw BrokenRule{where.str()};
      }
    };
    rule(game.trickBusy >= 0 && game.trickBusy <= 2,
         "trickBusy is " + std::to_string(game.trickBusy));
    rule(form.Score.items().size() == static_cast<std::size_t>(simulator->pauses()),
         "not one score line per fall or crash");
    rule(game.totalScore >= lastTotal, "the total went down");
    rule(game.runScore >= 0, "the run's score is below 0");
    lastTotal = game.totalScore;
    rule(game.bikeId >= lastBike, "the bike went back to an earlier one");
    result.bikeChanges += game.bikeId != lastBike;
    lastBike = game.bikeId;
    for (Integer count : {game.manualCount, game.noseManualCount}) {
      rule(count >= -1 && count <= 19, "a manual count of " + std::to_string(count));
    }
    rule(game.hopStep >= 2 && game.hopStep <= 32, "hopStep is " + std::to_string(game.hopStep));
    if (timer == 4) {
      rule(form.Image1.Top <= kGroundTop, "the rider is below the ground after a referee tick");
    }
  };
  sim::Simulator sim(options, script::readScript(in), out);
  simulator = &sim;
  try {
    sim.run();
  } catch (const BrokenRule& rule) {
    result.broken = rule.what;
  }
  result.topScore = lastTotal;
  return result;
}

TEST(Soak, RandomPlayKeepsTheRulesForHours) {
  constexpr long long kHour = 3600LL * 1000;
  for (std::uint32_t seed : {1U, 2U, 3U}) {
    const Soak result = soak(seed, kHour);
    if (result.broken) {
      FAIL() << *result.broken;
    }
    // Ticks that would change nothing are passed over: about 90 events a second
    // are left.
    EXPECT_GT(result.events, 250'000) << seed;
  }
  // Long enough for the total to reach its ceiling and stop there; longer when
  // TORVIN_SOAK_HOURS asks for more.
  const char* asked = std::getenv("TORVIN_SOAK_HOURS");
  const long long hours = std::max(6LL, asked != nullptr ? std::atoll(asked) : 0LL);
  const Soak longPlay = soak(7, hours * kHour);
  if (longPlay.broken) {
    FAIL() << *longPlay.broken;
  }
  EXPECT_EQ(longPlay.topScore, 32767);
  EXPECT_EQ(longPlay.bikeChanges, 2);
}

}  // namespace
}  // namespace torvin::testing
