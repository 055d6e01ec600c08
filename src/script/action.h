// The player's actions of a script, one per line: what the player does and at
// which millisecond of the game's clock. Every host reads them from a script
// (torvin-sim's input, a replay) and writes its own player's as a recording.
#pragma once

#include <cstdint>
#include <string_view>

namespace torvin::script {

enum class ActionKind : std::uint8_t { Click, Key, Close, Dump, End };

enum class Button : std::uint8_t { Command1, Command2 };

// The button's name as a script writes it: "Command1" or "Command2".
constexpr std::string_view buttonName(Button button) {
  return button == Button::Command1 ? "Command1" : "Command2";
}

// One line of a script. Small, as a script may hold millions of them.
struct Action {
  long long time = 0;  // milliseconds since the window was created
  ActionKind kind = ActionKind::End;
  Button button = Button::Command1;  // Click: which button
  std::uint16_t keyCode = 0;         // Key: the virtual key code
  long long line = 0;                // where it stands in the script (0: not read from one)
};
static_assert(sizeof(Action) <= 24, "a script of millions of lines is held whole");

// The largest time a script may name (so that every time is an exact JSON number).
inline constexpr long long kMaxScriptTime = (1LL << 53) - 1;

}  // namespace torvin::script
