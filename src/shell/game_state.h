// The one record through which all handlers of the window talk to each other.
// Created zeroed with the window; Integers are 16-bit signed.
#pragma once

#include <span>
#include <string>

#include "platform/integer.h"

namespace torvin {

struct GameState {
  std::string appPath;
  Integer runScore = 0;
  Integer totalScore = 0;
  Integer trickBusy = 0;  // 0 none, 1 a trick animation runs, 2 crashed into the ramp
  Integer canCanState = 0;
  Integer canCanCount = 0;
  Integer noHanderState = 0;
  Integer noHanderCount = 0;
  Integer supermanState = 0;
  Integer supermanCount = 0;
  Integer backflipState = 0;
  Integer backflipCount = 0;
  Integer frontflipState = 0;
  Integer frontflipCount = 0;
  Integer nothingState = 0;
  Integer nothingCount = 0;
  Integer tailwhipState = 0;
  Integer tailwhipCount = 0;
  Integer barspinState = 0;
  Integer barspinCount = 0;
  Integer candyBarState = 0;
  Integer candyBarCount = 0;
  Integer threeSixtyState = 0;
  Integer threeSixtyCount = 0;
  Integer tabletopState = 0;
  Integer tabletopCount = 0;
  Integer onRamp = 0;
  Integer rampLaunched = 0;
  Integer secret1State = 0;
  Integer secret2State = 0;
  Integer secret3State = 0;
  Integer secret4State = 0;
  Integer secret1Count = 0;
  Integer secret2Count = 0;
  Integer secret3Count = 0;
  Integer secret4Count = 0;
  Integer secret1Unlocked = 0;
  Integer secret2Unlocked = 0;
  Integer secret3Unlocked = 0;
  Integer secret4Unlocked = 0;
  Integer manualState = 0;
  Integer manualCount = 0;
  Integer noseManualState = 0;
  Integer noseManualCount = 0;
  Integer hopStep = 0;
  Integer hopStepLimit = 0;
  Integer flightStep = 0;
  Integer hopState = 0;  // 0 no hop, 1 rising, 2 falling
  Integer courseRunning = 0;
  std::string bikeId;

  friend bool operator==(const GameState&, const GameState&) = default;
};

// Calls f(name, field) for every field of the record, in declared order.
template <class State, class F>
void forEachField(State& s, F&& f) {
  f("appPath", s.appPath);
  f("runScore", s.runScore);
  f("totalScore", s.totalScore);
  f("trickBusy", s.trickBusy);
  f("canCanState", s.canCanState);
  f("canCanCount", s.canCanCount);
  f("noHanderState", s.noHanderState);
  f("noHanderCount", s.noHanderCount);
  f("supermanState", s.supermanState);
  f("supermanCount", s.supermanCount);
  f("backflipState", s.backflipState);
  f("backflipCount", s.backflipCount);
  f("frontflipState", s.frontflipState);
  f("frontflipCount", s.frontflipCount);
  f("nothingState", s.nothingState);
  f("nothingCount", s.nothingCount);
  f("tailwhipState", s.tailwhipState);
  f("tailwhipCount", s.tailwhipCount);
  f("barspinState", s.barspinState);
  f("barspinCount", s.barspinCount);
  f("candyBarState", s.candyBarState);
  f("candyBarCount", s.candyBarCount);
  f("threeSixtyState", s.threeSixtyState);
  f("threeSixtyCount", s.threeSixtyCount);
  f("tabletopState", s.tabletopState);
  f("tabletopCount", s.tabletopCount);
  f("onRamp", s.onRamp);
  f("rampLaunched", s.rampLaunched);
  f("secret1State", s.secret1State);
  f("secret2State", s.secret2State);
  f("secret3State", s.secret3State);
  f("secret4State", s.secret4State);
  f("secret1Count", s.secret1Count);
  f("secret2Count", s.secret2Count);
  f("secret3Count", s.secret3Count);
  f("secret4Count", s.secret4Count);
  f("secret1Unlocked", s.secret1Unlocked);
  f("secret2Unlocked", s.secret2Unlocked);
  f("secret3Unlocked", s.secret3Unlocked);
  f("secret4Unlocked", s.secret4Unlocked);
  f("manualState", s.manualState);
  f("manualCount", s.manualCount);
  f("noseManualState", s.noseManualState);
  f("noseManualCount", s.noseManualCount);
  f("hopStep", s.hopStep);
  f("hopStepLimit", s.hopStepLimit);
  f("flightStep", s.flightStep);
  f("hopState", s.hopState);
  f("courseRunning", s.courseRunning);
  f("bikeId", s.bikeId);
}

// The fifteen air-trick request states, in the order the game clears them.
inline constexpr Integer GameState::*kAirTrickStates[] = {
    &GameState::canCanState,     &GameState::noHanderState,  &GameState::supermanState,
    &GameState::backflipState,   &GameState::frontflipState, &GameState::nothingState,
    &GameState::tailwhipState,   &GameState::barspinState,   &GameState::candyBarState,
    &GameState::threeSixtyState, &GameState::tabletopState,  &GameState::secret1State,
    &GameState::secret2State,    &GameState::secret3State,   &GameState::secret4State};

// True when every one of the given fields is 0.
inline bool allZero(const GameState& s, std::span<Integer GameState::*const> fields) {
  for (auto field : fields) {
    if (s.*field != 0) {
      return false;
    }
  }
  return true;
}

// True when none of the fifteen air tricks is requested or running.
inline bool allAirTricksIdle(const GameState& s) {
  return allZero(s, kAirTrickStates);
}

// Adds a trick's points to the run and to the total; both stop at 32767.
inline void addPoints(GameState& s, int points) {
  s.runScore = addInteger(s.runScore, points);
  s.totalScore = addInteger(s.totalScore, points);
}

}  // namespace torvin
