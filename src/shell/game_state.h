// The one record through which all handlers of the window talk to each other.
// Created zeroed with the window; Integers are 16-bit signed.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <iterator>
#include <span>
#include <string>

#include "platform/integer.h"

namespace torvin {

// What a field of GameState means beyond its value, for the places that handle
// fields by group.
enum FieldRole : unsigned {
  kKept = 0,
  kNewRun = 1U << 0,      // "Start" sets it to 0 for the new run
  kAirTrick = 1U << 1,    // an air trick's request State: the free test of the air keys
  kSecretTest = 1U << 2,  // a State the secret keys look at before they act
};

// Every field of the record, in its declared order (the order of the JSON
// snapshot), with its roles. A field added here is declared, dumped, reset by
// "Start" and tested by the keys as its roles say. Strings are empty and
// Integers 0 when the window is created. trickBusy: 0 no trick holds the
// sprite, 1 a trick animation runs, 2 the rider crashed into the ramp. onRamp: 1
// while the ramp carries the rider up. rampLaunched: 1 from the first climbing
// step to the landing. hopState: 0 no hop, 1 rising, 2 falling. courseRunning:
// 1 from "Start" on.
#define TORVIN_GAME_STATE_FIELDS(TORVIN_STRING_FIELD, TORVIN_INTEGER_FIELD) \
  TORVIN_STRING_FIELD(appPath)                                              \
  TORVIN_INTEGER_FIELD(runScore, kNewRun)                                   \
  TORVIN_INTEGER_FIELD(totalScore, kKept)                                   \
  TORVIN_INTEGER_FIELD(trickBusy, kNewRun)                                  \
  TORVIN_INTEGER_FIELD(canCanState, kNewRun | kAirTrick | kSecretTest)      \
  TORVIN_INTEGER_FIELD(canCanCount, kNewRun)                                \
  TORVIN_INTEGER_FIELD(noHanderState, kNewRun | kAirTrick | kSecretTest)    \
  TORVIN_INTEGER_FIELD(noHanderCount, kNewRun)                              \
  TORVIN_INTEGER_FIELD(supermanState, kNewRun | kAirTrick | kSecretTest)    \
  TORVIN_INTEGER_FIELD(supermanCount, kNewRun)                              \
  TORVIN_INTEGER_FIELD(backflipState, kNewRun | kAirTrick | kSecretTest)    \
  TORVIN_INTEGER_FIELD(backflipCount, kNewRun)                              \
  TORVIN_INTEGER_FIELD(frontflipState, kNewRun | kAirTrick | kSecretTest)   \
  TORVIN_INTEGER_FIELD(frontflipCount, kNewRun)                             \
  TORVIN_INTEGER_FIELD(nothingState, kNewRun | kAirTrick | kSecretTest)     \
  TORVIN_INTEGER_FIELD(nothingCount, kNewRun)                               \
  TORVIN_INTEGER_FIELD(tailwhipState, kNewRun | kAirTrick | kSecretTest)    \
  TORVIN_INTEGER_FIELD(tailwhipCount, kNewRun)                              \
  TORVIN_INTEGER_FIELD(barspinState, kNewRun | kAirTrick | kSecretTest)     \
  TORVIN_INTEGER_FIELD(barspinCount, kNewRun)                               \
  TORVIN_INTEGER_FIELD(candyBarState, kNewRun | kAirTrick)                  \
  TORVIN_INTEGER_FIELD(candyBarCount, kNewRun)                              \
  TORVIN_INTEGER_FIELD(threeSixtyState, kNewRun | kAirTrick)                \
  TORVIN_INTEGER_FIELD(threeSixtyCount, kNewRun)                            \
  TORVIN_INTEGER_FIELD(tabletopState, kNewRun | kAirTrick)                  \
  TORVIN_INTEGER_FIELD(tabletopCount, kNewRun)                              \
  TORVIN_INTEGER_FIELD(onRamp, kNewRun)                                     \
  TORVIN_INTEGER_FIELD(rampLaunched, kNewRun)                               \
  TORVIN_INTEGER_FIELD(secret1State, kNewRun | kAirTrick | kSecretTest)     \
  TORVIN_INTEGER_FIELD(secret2State, kNewRun | kAirTrick | kSecretTest)     \
  TORVIN_INTEGER_FIELD(secret3State, kNewRun | kAirTrick | kSecretTest)     \
  TORVIN_INTEGER_FIELD(secret4State, kNewRun | kAirTrick | kSecretTest)     \
  TORVIN_INTEGER_FIELD(secret1Count, kNewRun)                               \
  TORVIN_INTEGER_FIELD(secret2Count, kNewRun)                               \
  TORVIN_INTEGER_FIELD(secret3Count, kNewRun)                               \
  TORVIN_INTEGER_FIELD(secret4Count, kNewRun)                               \
  TORVIN_INTEGER_FIELD(secret1Unlocked, kNewRun)                            \
  TORVIN_INTEGER_FIELD(secret2Unlocked, kNewRun)                            \
  TORVIN_INTEGER_FIELD(secret3Unlocked, kNewRun)                            \
  TORVIN_INTEGER_FIELD(secret4Unlocked, kNewRun)                            \
  TORVIN_INTEGER_FIELD(manualState, kNewRun)                                \
  TORVIN_INTEGER_FIELD(manualCount, kNewRun)                                \
  TORVIN_INTEGER_FIELD(noseManualState, kNewRun)                            \
  TORVIN_INTEGER_FIELD(noseManualCount, kNewRun)                            \
  TORVIN_INTEGER_FIELD(hopStep, kKept)                                      \
  TORVIN_INTEGER_FIELD(hopStepLimit, kKept)                                 \
  TORVIN_INTEGER_FIELD(flightStep, kKept)                                   \
  TORVIN_INTEGER_FIELD(hopState, kNewRun)                                   \
  TORVIN_INTEGER_FIELD(courseRunning, kKept)                                \
  TORVIN_STRING_FIELD(bikeId)

struct GameState {
#define TORVIN_DECLARE_STRING(name) std::string name;
#define TORVIN_DECLARE_INTEGER(name, roles) Integer name = 0;
  TORVIN_GAME_STATE_FIELDS(TORVIN_DECLARE_STRING, TORVIN_DECLARE_INTEGER)
#undef TORVIN_DECLARE_STRING
#undef TORVIN_DECLARE_INTEGER

  friend bool operator==(const GameState&, const GameState&) = default;
};

// The bunny hop's first step up and the step its fall ends on: hopStep holds it
// whenever no hop is under way.
inline constexpr Integer kHopStepAtRest = 32;

// Calls f(name, field) for every field of the record, in declared order.
template <class State, class F>
void forEachField(State& s, F&& f) {
#define TORVIN_VISIT_STRING(name) f(#name, s.name);
#define TORVIN_VISIT_INTEGER(name, roles) f(#name, s.name);
  TORVIN_GAME_STATE_FIELDS(TORVIN_VISIT_STRING, TORVIN_VISIT_INTEGER)
#undef TORVIN_VISIT_STRING
#undef TORVIN_VISIT_INTEGER
}

struct IntegerField {
  Integer GameState::*member;
  unsigned roles;
};

// The Integer fields of the record, in declared order.
inline constexpr IntegerField kIntegerFields[] = {
#define TORVIN_SKIP_STRING(name)
#define TORVIN_INTEGER_ROW(name, roles) {&GameState::name, roles},
    TORVIN_GAME_STATE_FIELDS(TORVIN_SKIP_STRING, TORVIN_INTEGER_ROW)
#undef TORVIN_SKIP_STRING
#undef TORVIN_INTEGER_ROW
};

// The Integer fields that have every one of the given roles, in declared order.
template <unsigned Roles>
constexpr auto fieldsWith() {
  constexpr auto has = [](const IntegerField& field) { return (field.roles & Roles) == Roles; };
  std::array<Integer GameState::*,
             std::count_if(std::begin(kIntegerFields), std::end(kIntegerFields), has)>
      members{};
  std::size_t next = 0;
  for (const IntegerField& field : kIntegerFields) {
    if (has(field)) {
      members[next++] = field.member;
    }
  }
  return members;
}

// The fifteen air-trick request States.
inline constexpr auto kAirTrickStates = fieldsWith<kAirTrick>();
// The States a secret key looks at: every air trick but the candy bar, the 360
// and the tabletop.
inline constexpr auto kSecretTestStates = fieldsWith<kSecretTest>();
// What "Start" sets to 0 for the new run.
inline constexpr auto kNewRunFields = fieldsWith<kNewRun>();
static_assert(kAirTrickStates.size() == 15 && kSecretTestStates.size() == 12);

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
