// Shared helpers of the scenario and simulator tests: build a script of timed
// player actions, play it in the simulator and look at what came out (snapshots
// and events, as JSON), or drive the game core directly through the fake
// platform.
#pragma once

#include <cstdint>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "shell/form1.h"
#include "support/fake_platform.h"

namespace torvin::scenario {

using nlohmann::json;

// A script built line by line; lines come out sorted by time, lines of the same
// time in the order they were added.
class Script {
 public:
  Script& click(long long t, const std::string& button = "Command1");
  Script& key(long long t, const std::string& key);
  Script& close(long long t);
  Script& dump(long long t);
  // A dump at from, from + step, ... up to and including to.
  Script& dumps(long long from, long long to, long long step);
  Script& end(long long t);
  Script& line(long long t, const std::string& text);
  std::string text() const;

 private:
  std::multimap<long long, std::string> lines_;
};

struct Options {
  bool trace = true;
  std::optional<long long> autoclose;
};

// What a run printed, line by line.
class Played {
 public:
  explicit Played(std::vector<json> lines) : lines_(std::move(lines)) {}

  const std::vector<json>& lines() const { return lines_; }
  std::vector<json> dumps() const;
  // The first snapshot taken at time t (fails the test when there is none).
  json dumpAt(long long t) const;
  // The event lines of one kind ("picture", "message", "score", ...).
  std::vector<json> events(const std::string& kind) const;
  // The picture files assigned to the rider from..to (both included), in order.
  std::vector<std::string> pictures(long long from, long long to) const;
  // The same with the time of each assignment.
  std::vector<std::pair<long long, std::string>> timedPictures(long long from, long long to) const;
  // The time and the new value of each interval change of the timer from..to, in order.
  std::vector<std::pair<long long, int>> intervals(const std::string& timer, long long from,
                                                   long long to) const;
  std::vector<std::string> scoreItems() const;
  std::vector<std::pair<long long, std::string>> messages() const;

 private:
  std::vector<json> lines_;
};

// The folder of the pictures the tests play with.
std::string assetsFolder();

// Plays the script in the simulator (in-process) and parses every output line.
Played play(const std::string& script, const Options& options = {});
inline Played play(const Script& script, const Options& options = {}) {
  return play(script.text(), options);
}

// Shorthands on a snapshot.
inline double top(const json& dump) {
  return dump["Image1"]["Top"].get<double>();
}
inline int state(const json& dump, const char* field) {
  return dump["GameState"][field].get<int>();
}
inline int interval(const json& dump, const char* timer) {
  return dump[timer]["Interval"].get<int>();
}

// A loaded window on the fake platform, optionally after "Start". Every
// picture is 100 x 90, so that a test sees the sprite take the picture's size.
struct CoreGame {
  explicit CoreGame(bool started = true);
  // The pictures assigned to the rider since the last call, "01/009.jpg".
  std::vector<std::string> takePictures();

  testing::FakePlatform platform;
  Form1 form{platform};
};

}  // namespace torvin::scenario
