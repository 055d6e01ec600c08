// The key handler: turns a key press into a trick request in the game state.
// It never moves the rider; each trick's own timer finds the request on its
// next tick.
#include <array>

#include "shell/form1.h"

namespace torvin {

namespace {

enum class Condition {
  HopIdle,            // no hop under way
  AirborneFree,       // in the air and no air trick requested or running
  Manual,             // always
  AirborneSecretFree  // in the air, unlocked, and no trick of the secret test set
};

struct KeyBinding {
  std::uint16_t keyCode;
  Condition condition;
  Integer GameState::*state;
  Integer GameState::*count;  // the request's step counter (the manual's ticks)
  Integer startCount;         // 0 for the manuals: their length depends on the bike
  Integer GameState::*unlocked;
};

// Checked top to bottom; the first row with the key applies if its condition holds.
constexpr std::array<KeyBinding, 18> kKeyTable = {{
    {'H', Condition::HopIdle, &GameState::hopState, nullptr, 0, nullptr},
    {'Q', Condition::AirborneFree, &GameState::canCanState, &GameState::canCanCount, 5, nullptr},
    {'W', Condition::AirborneFree, &GameState::noHanderState, &GameState::noHanderCount, 5,
     nullptr},
    {'E', Condition::AirborneFree, &GameState::supermanState, &GameState::supermanCount, 5,
     nullptr},
    {'R', Condition::AirborneFree, &GameState::backflipState, &GameState::backflipCount, 9,
     nullptr},
    {'T', Condition::AirborneFree, &GameState::frontflipState, &GameState::frontflipCount, 9,
     nullptr},
    {'D', Condition::AirborneFree, &GameState::nothingState, &GameState::nothingCount, 5, nullptr},
    {'F', Condition::AirborneFree, &GameState::tailwhipState, &GameState::tailwhipCount, 5,
     nullptr},
    {'G', Condition::AirborneFree, &GameState::barspinState, &GameState::barspinCount, 5, nullptr},
    {'Y', Condition::AirborneFree, &GameState::candyBarState, &GameState::candyBarCount, 5,
     nullptr},
    {'U', Condition::AirborneFree, &GameState::threeSixtyState, &GameState::threeSixtyCount, 5,
     nullptr},
    {'I', Condition::AirborneFree, &GameState::tabletopState, &GameState::tabletopCount, 5,
     nullptr},
    {'A', Condition::Manual, &GameState::manualState, &GameState::manualCount, 0, nullptr},
    {'S', Condition::Manual, &GameState::noseManualState, &GameState::noseManualCount, 0, nullptr},
    {'Z', Condition::AirborneSecretFree, &GameState::secret1State, &GameState::secret1Count, 9,
     &GameState::secret1Unlocked},
    {'X', Condition::AirborneSecretFree, &GameState::secret2State, &GameState::secret2Count, 9,
     &GameState::secret2Unlocked},
    {'C', Condition::AirborneSecretFree, &GameState::secret3State, &GameState::secret3Count, 9,
     &GameState::secret3Unlocked},
    {'V', Condition::AirborneSecretFree, &GameState::secret4State, &GameState::secret4Count, 17,
     &GameState::secret4Unlocked},
}};

// Ground ticks of a manual per key press on the current bike.
Integer manualLength(const std::string& bikeId) {
  const Bike* bike = findBike(bikeId);
  return bike != nullptr ? bike->manualLength : 0;
}

}  // namespace

void Form1::Form_KeyDown(std::uint16_t keyCode, int /*shift*/) {
  for (const KeyBinding& row : kKeyTable) {
    if (row.keyCode != keyCode) {
      continue;
    }
    // The height test comes first; the states are only looked at in the air.
    const bool airborne = Image1.Top < kGroundTop;
    switch (row.condition) {
      case Condition::HopIdle:
        if (game.hopState == 0) {
          game.hopState = 1;
        }
        break;
      case Condition::AirborneFree:
        if (airborne && allAirTricksIdle(game)) {
          game.*row.state = 1;
          game.*row.count = row.startCount;
        }
        break;
      case Condition::Manual:
        if (game.*row.state == 0) {
          game.*row.state = 1;
        }
        game.*row.count = manualLength(game.bikeId);
        break;
      case Condition::AirborneSecretFree:
        if (airborne && game.*row.unlocked == 1 && allZero(game, kSecretTestStates)) {
          game.*row.state = 1;
          game.*row.count = row.startCount;
        }
        break;
    }
    return;
  }
}

}  // namespace torvin
