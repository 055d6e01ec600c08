// Hostile keyboards: every key code there is, and keys held down for a long
// auto-repeat, change nothing but the requests of the keys the game knows.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <type_traits>
#include <vector>

#include "shell/form1.h"
#include "support/fake_platform.h"

namespace torvin {
namespace {

// The game's keys and the request fields each may write; nothing else may change.
const std::map<std::uint16_t, std::set<std::string>> kOwnFields = {
    {'H', {"hopState"}},
    {'Q', {"canCanState", "canCanCount"}},
    {'W', {"noHanderState", "noHanderCount"}},
    {'E', {"supermanState", "supermanCount"}},
    {'R', {"backflipState", "backflipCount"}},
    {'T', {"frontflipState", "frontflipCount"}},
    {'D', {"nothingState", "nothingCount"}},
    {'F', {"tailwhipState", "tailwhipCount"}},
    {'G', {"barspinState", "barspinCount"}},
    {'Y', {"candyBarState", "candyBarCount"}},
    {'U', {"threeSixtyState", "threeSixtyCount"}},
    {'I', {"tabletopState", "tabletopCount"}},
    {'A', {"manualState", "manualCount"}},
    {'S', {"noseManualState", "noseManualCount"}},
    {'Z', {"secret1State", "secret1Count"}},
    {'X', {"secret2State", "secret2Count"}},
    {'C', {"secret3State", "secret3Count"}},
    {'V', {"secret4State", "secret4Count"}},
};

using Fields = std::vector<std::pair<const char*, std::string>>;

// Every field of the record as text, into `fields` (reused, so that a million
// checks do not build a million lists).
void readFields(const GameState& game, Fields& fields) {
  fields.clear();
  forEachField(game, [&fields](const char* name, const auto& value) {
    if constexpr (std::is_same_v<std::decay_t<decltype(value)>, std::string>) {
      fields.emplace_back(name, value);
    } else {
      fields.emplace_back(name, std::to_string(value));
    }
  });
}

std::set<std::string> changedFields(const Fields& before, const GameState& after) {
  static Fields now;
  readFields(after, now);
  std::set<std::string> changed;
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (before[i].second != now[i].second) {
      changed.insert(before[i].first);
    }
  }
  return changed;
}

// Everything a player could see or a host would hear of.
struct Outside {
  std::uint64_t revision;
  std::vector<int> intervals;
  std::vector<std::string> scores;
  std::size_t platformCalls;
  bool operator==(const Outside&) const = default;
};

class HostileKeys : public ::testing::Test {
 protected:
  testing::FakePlatform platform;
  Form1 form{platform};

  Outside outside() const {
    Outside seen{form.revision(), {}, form.Score.items(), 0};
    for (int number = 1; number <= 8; ++number) {
      seen.intervals.push_back(form.timer(number).Interval());
    }
    seen.platformCalls = platform.loads.size() + platform.messages.size() +
                         platform.intervals.size() + platform.items.size() +
                         static_cast<std::size_t>(platform.pauses);
    return seen;
  }

  // The situations a key can meet: before Start, riding, in the air with
  // every secret open, and in the middle of a trick, a hop and a manual.
  template <class Check>
  void inEverySituation(Check&& check) {
    form.Form_Load();
    check("before Start");
    form.Command1_Click();
    check("riding");
    form.Image1.Top = 150;
    form.game.bikeId = "02";
    form.game.secret1Unlocked = form.game.secret2Unlocked = 1;
    form.game.secret3Unlocked = form.game.secret4Unlocked = 1;
    check("in the air");
    form.game.backflipState = 1;
    form.game.backflipCount = 4;
    form.game.trickBusy = 1;
    form.game.hopState = 2;
    form.game.manualState = 1;
    check("mid-trick");
  }
};

TEST_F(HostileKeys, EveryKeyCodeWritesAtMostItsOwnRequest) {
  inEverySituation([this](const char* situation) {
    const GameState start = form.game;
    Fields startFields;
    readFields(start, startFields);
    const Outside seen = outside();
    for (int code = 0; code <= 0xFFFF; ++code) {
      const auto keyCode = static_cast<std::uint16_t>(code);
      const auto own = kOwnFields.find(keyCode);
      for (const int shift : {0, 7}) {
        form.Form_KeyDown(keyCode, shift);
        const std::set<std::string> changed = changedFields(startFields, form.game);
        for (const std::string& name : changed) {
          ASSERT_TRUE(own != kOwnFields.end() && own->second.contains(name))
              << situation << ": key " << code << " shift " << shift << " changed " << name;
        }
        ASSERT_EQ(outside(), seen) << situation << ": key " << code << " reached the window";
        form.game = start;
      }
    }
  });
}

TEST_F(HostileKeys, AnAutoRepeatStormIsOnePress) {
  inEverySituation([this](const char* situation) {
    const GameState start = form.game;
    const Outside seen = outside();
    for (const auto& [keyCode, own] : kOwnFields) {
      form.Form_KeyDown(keyCode, 0);
      Fields once;
      readFields(form.game, once);
      for (int press = 0; press < 20000; ++press) {
        form.Form_KeyDown(keyCode, press % 2);
      }
      EXPECT_TRUE(changedFields(once, form.game).empty())
          << situation << ": holding " << static_cast<char>(keyCode) << " did more than one press";
      EXPECT_EQ(outside(), seen) << situation;
      form.game = start;
    }
  });
}

}  // namespace
}  // namespace torvin
