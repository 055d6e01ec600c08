// The moments of real games whose frames are kept in tests/frames: every
// picture, line and label of the game on the screen at least once (the ramp
// line across a secret label, pictures at fractional places and at the edges,
// all three bikes, the fallen rider). The window's test compares its pixels
// with them, the scene renderer's test its frames.
#pragma once

#include <algorithm>
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "script/reader.h"

namespace torvin::testing {

struct KeptMoments {
  const char* name;    // the frames' files begin with it
  const char* script;  // from the source folder
  std::optional<long long> autoclose;
  std::vector<long long> times;   // a frame at each, at 531 x 343
  std::vector<long long> zoomed;  // and at twice the size at these

  bool isZoomed(long long time) const {
    return std::find(zoomed.begin(), zoomed.end(), time) != zoomed.end();
  }
  // "whole_game-23600-scene": the kept frame's name, without ".png".
  std::string frame(long long time, const std::string& what) const {
    return std::string(name) + "-" + std::to_string(time) + "-" + what;
  }
};

// whole_game: before Start; the ramp coming in at the right edge; the climb; a
// pose high in the air at a fractional height; the ramp line across the first
// secret label, a sky picture at a fractional place; the far scenery coming in
// one column at a time; bike 02 with a wide pose; all four labels; bike 03; a
// pose at a fractional height with two sky pictures at fractional places; sky
// pictures at the left edge. falls: the fallen rider with "Fail!" open; later
// runs in the Score list.
inline const std::array<KeptMoments, 2> kKeptMoments = {{
    {"whole_game",
     "tests/scenarios/whole_game.script",
     std::nullopt,
     {0, 5400, 7200, 8200, 23600, 89400, 97400, 160600, 200320, 245200, 265720},
     {0, 23600, 160600}},
    {"falls", "tests/golden/falls.script", 1000, {8680, 27000}, {8680}},
}};

// The script in `path` with a dump line at each of `times` (before the lines of
// the same time) and none of its own.
inline std::vector<script::Action> scriptWithDumps(const std::string& path,
                                                   const std::vector<long long>& times) {
  std::vector<script::Action> script;
  for (const script::Action& action : script::readScriptFile(path)) {
    if (action.kind != script::ActionKind::Dump) {
      script.push_back(action);
    }
  }
  for (const long long time : times) {
    const auto at =
        std::lower_bound(script.begin(), script.end(), time,
                         [](const script::Action& action, long long t) { return action.time < t; });
    script.insert(at, script::Action{time, script::ActionKind::Dump, {}, 0, 0});
  }
  return script;
}

}  // namespace torvin::testing
