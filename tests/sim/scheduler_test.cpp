// The game's one clock, away from any window: passing over ticks that would
// change nothing plays exactly the same game, and a host that is woken late
// and hears the player only when it looks (as the desktop window does) plays a
// game that its recording replays to the same state.
#include <gtest/gtest.h>

#include <deque>
#include <limits>
#include <map>
#include <random>
#include <sstream>

#include "picture/picture_decoder.h"
#include "schedule/scheduler.h"
#include "script/json_output.h"
#include "script/perform.h"
#include "script/reader.h"
#include "script/recording_line.h"
#include "sim/simulator.h"
#include "support/random_play.h"

namespace torvin::testing {
namespace {

std::string play(const std::string& script, bool skipIdleTicks,
                 std::optional<long long> autoclose) {
  std::istringstream in(script);
  std::ostringstream out;
  sim::Options options{TORVIN_TEST_ASSETS, autoclose, true, {}};
  options.skipIdleTicks = skipIdleTicks;
  sim::Simulator simulator(options, script::readScript(in), out);
  simulator.run();
  return out.str();
}

TEST(Scheduler, PassingOverIdleTicksPlaysExactlyTheSameGame) {
  constexpr long long kMinutes = 60 * 1000;
  for (std::uint32_t seed = 1; seed <= 12; ++seed) {
    const std::string script = randomPlayScript(seed, 20 * kMinutes);
    const std::optional<long long> autoclose =
        seed % 3 == 0 ? std::nullopt : std::optional<long long>(seed % 3 == 1 ? 1 : 700);
    const std::string skipping = play(script, true, autoclose);
    const std::string everyTick = play(script, false, autoclose);
    ASSERT_EQ(skipping, everyTick) << "seed " << seed;
  }
}

// A host like the desktop window: the game cannot run ahead of a wall clock,
// each wake-up comes a few milliseconds late, handlers take time, and the
// player's input is only seen (and stamped) when the host wakes.
class LateHost final : public Platform, public Scheduler::Host {
 public:
  struct Arrival {
    long long wall;
    script::Action action;
  };

  LateHost(std::vector<Arrival> arrivals, std::uint32_t seed)
      : arrivals_(arrivals.begin(), arrivals.end()), random_(seed) {}

  // Plays until the player's last arrival ends the game; returns its snapshot.
  std::string play() {
    form_.Form_Load();
    scheduler_.run();
    return lastSnapshot_;
  }
  const std::string& recording() const { return recording_; }

  // Platform
  DecodedPicture loadPicture(const std::string& path) override {
    auto found = sizes_.find(path);
    if (found == sizes_.end()) {
      const picture::Image image = decoder_.decode(path, picture::Pixels::Drop);
      found = sizes_.emplace(path, DecodedPicture{image.width, image.height, 0}).first;
    }
    return found->second;
  }
  void messageBox(const std::string& text) override { scheduler_.messageBox(text); }
  void pause() override { scheduler_.pause(); }
  std::string programFolder() override { return TORVIN_TEST_ASSETS; }
  void drawLine(float, float, float, float) override {}
  void intervalChanged(const Timer& timer) override { scheduler_.intervalChanged(timer); }

 private:
  long long late(int most) {
    return static_cast<long long>(random_() % static_cast<unsigned>(most + 1));
  }

  // The inputs that have arrived by now, stamped with the moment they are seen.
  void look() {
    while (!arrivals_.empty() && arrivals_.front().wall <= wall_) {
      stamp_ = std::max(stamp_, wall_);
      script::Action action = arrivals_.front().action;
      action.time = stamp_;
      seen_.push_back(action);
      arrivals_.pop_front();
    }
  }

  long long now() override { return wall_; }
  std::optional<long long> nextInput() override {
    look();
    if (seen_.empty()) {
      return std::nullopt;
    }
    return seen_.front().time;
  }
  void performInput() override {
    const script::Action action = seen_.front();
    seen_.pop_front();
    if (action.kind == script::ActionKind::End) {  // the player quits
      recording_ += script::recordingLine(scheduler_.clock(), {.kind = script::ActionKind::Dump});
      lastSnapshot_ = script::snapshotJson(scheduler_.clock(), form_, scheduler_.openBox());
      throw RunEnded{};
    }
    if (action.kind != script::ActionKind::Dump) {
      recording_ += script::recordingLine(scheduler_.clock(), action);
      script::perform(action, scheduler_, form_);
    }
  }
  void wait(std::optional<long long> until) override {
    const long long wake = until ? *until + late(30) : std::numeric_limits<long long>::max();
    if (!arrivals_.empty() && arrivals_.front().wall < wake) {
      wall_ = std::max(wall_, arrivals_.front().wall + late(5));
    } else {
      wall_ = std::max(wall_, wake);
    }
  }
  void sleepUntil(long long until) override { wall_ = std::max(wall_, until) + late(20); }
  void handled(int /*timer*/) override { wall_ += late(2); }  // painting takes its time

  picture::Decoder decoder_;
  std::map<std::string, DecodedPicture> sizes_;
  std::deque<Arrival> arrivals_;
  std::deque<script::Action> seen_;
  std::mt19937 random_;
  long long wall_ = 0;
  long long stamp_ = 0;
  std::string recording_;
  std::string lastSnapshot_;
  Form1 form_{*this};
  Scheduler scheduler_{form_, *this};
};

TEST(Scheduler, ALateWakingHostsRunReplaysToTheSameState) {
  constexpr long long kMinutes = 60 * 1000;
  for (std::uint32_t seed = 1; seed <= 8; ++seed) {
    // A random player's actions, as the moments they happen at.
    std::istringstream in(randomPlayScript(seed + 50, 8 * kMinutes));
    std::vector<LateHost::Arrival> arrivals;
    for (const script::Action& action : script::readScript(in)) {
      arrivals.push_back({action.time, action});
    }
    arrivals.back().action.kind = script::ActionKind::End;  // the player quits
    LateHost host(arrivals, seed);
    const std::string state = host.play();
    ASSERT_FALSE(state.empty());

    std::istringstream recorded(host.recording());
    std::ostringstream out;
    sim::Simulator simulator({TORVIN_TEST_ASSETS, std::nullopt, false, {}},
                             script::readScript(recorded), out);
    simulator.run();
    ASSERT_EQ(out.str(), state + "\n") << "seed " << seed << ", recording:\n" << host.recording();
  }
}

}  // namespace
}  // namespace torvin::testing
