// torvin-sim's input: a script of timed player actions, read and checked whole
// before anything runs.
#pragma once

#include <cstdint>
#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

namespace torvin::sim {

enum class ActionKind { Click, Key, Close, Dump, End };

struct Action {
  long long time = 0;  // milliseconds since the window was created
  ActionKind kind = ActionKind::End;
  std::string button;         // Click: "Command1" or "Command2"
  std::uint16_t keyCode = 0;  // Key: the virtual key code
  int line = 0;               // where it stands in the script
};

// A line the reader cannot take: its number and what is wrong with it.
class ScriptError : public std::runtime_error {
 public:
  ScriptError(int line, const std::string& what)
      : std::runtime_error("line " + std::to_string(line) + ": " + what), line_(line) {}
  int line() const { return line_; }

 private:
  int line_;
};

// The largest time a script may name (so that every time is an exact JSON number).
inline constexpr long long kMaxScriptTime = (1LL << 53) - 1;

std::vector<Action> readScript(std::istream& in);

}  // namespace torvin::sim
