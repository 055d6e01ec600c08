// Hostile keyboards: every key code there is, and keys held down for a long
// auto-repeat, change nothing but the requests of the keys the game knows.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <variant>
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

using Value = std::variant<Integer, std::string>;

std::vector<std::pair<std::string, Value>> fieldsOf(const GameState& game) {
  std::vector<std::pair<std::string, Value>> fields;
  forEachField(game, [&fields](const char* name, const auto& value) {
    fields.emplace_back(name, Value(value));
  });
  return fields;
}

std::set<std::string> changedFields(const GameState& before, const GameState& after) {
  const auto a = fieldsOf(before);
  const auto b = fieldsOf(after);
  std::set<std::string> changed;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].second != b[i].second) {
      changed.insert(a[i].first);
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
    const Outside seen = outside();
    for (int code = 0; code <= 0xFFFF; ++code) {
      const auto keyCode = static_cast<std::uint16_t>(code);
      const auto own = kOwnFields.find(keyCode);
      for (const int shift : {0, 7}) {
        form.Form_KeyDown(keyCode, shift);
        const std::set<std::string> changed = changedFields(start, form.game);
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
      const GameState once = form.game;
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
