// torvin-sim's output: one JSON object per line — snapshots of the window and,
// with --trace, the events of the game.
#pragma once

#include <string>

namespace torvin {
class Form1;
}

namespace torvin::sim {

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

}  // namespace torvin::sim
