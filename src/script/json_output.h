// The JSON lines of every host: the `dump` snapshot of the window and the game
// (torvin-sim's dumps, a replay's, torvin --dump-at-exit) and, for torvin-sim's
// --trace, the lines of the game's events.
#pragma once

#include <string>

namespace torvin {
class Form1;
}

namespace torvin::script {

// A snapshot of every control and every GameState field at time t.
std::string snapshotJson(long long t, const Form1& form, const std::string* messageBox);

// Builds an event line: {"t":T,"event":NAME, ...fields}.
class EventJson {
 public:
  EventJson(long long t, const char* event);
  EventJson& field(const char* name, const std::string& value);
  EventJson& field(const char* name, long long value);
  std::string str() const { return text_ + "}"; }

 private:
  std::string text_;
};

}  // namespace torvin::script
