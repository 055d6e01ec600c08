// torvin-sim's input: a script of timed player actions, read and checked whole
// before anything runs.
#pragma once

#include <cstdint>
#include <istream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace torvin::sim {

enum class ActionKind : std::uint8_t { Click, Key, Close, Dump, End };

enum class Button : std::uint8_t { Command1, Command2 };

// The button's name as a script writes it: "Command1" or "Command2".
std::string_view buttonName(Button button);

// One line of the script. Small, as a script may hold millions of them.
struct Action {
  long long time = 0;  // milliseconds since the window was created
  ActionKind kind = ActionKind::End;
  Button button = Button::Command1;  // Click: which button
  std::uint16_t keyCode = 0;         // Key: the virtual key code
  long long line = 0;                // where it stands in the script
};
static_assert(sizeof(Action) <= 24, "a script of millions of lines is held whole");

// A line the reader cannot take: its number and what is wrong with it.
class ScriptError : public std::runtime_error {
 public:
  ScriptError(long long line, const std::string& what)
      : std::runtime_error("line " + std::to_string(line) + ": " + what), line_(line) {}
  long long line() const { return line_; }

 private:
  long long line_;
};

// The script cannot be read at all (a folder, a failing disk).
class ScriptUnreadable : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The largest time a script may name (so that every time is an exact JSON number).
inline constexpr long long kMaxScriptTime = (1LL << 53) - 1;
// The longest line, in bytes, without its line end.
inline constexpr std::size_t kMaxLineBytes = 65536;

// A whole number in ASCII digits (any number of them, leading zeros allowed, no
// sign) from 0 to `max`; nothing when the text is not one.
std::optional<long long> parseWholeNumber(std::string_view text, long long max);

// Reads and checks the whole script. Throws ScriptError for a bad line (the
// reading stops there) and ScriptUnreadable when the input fails.
std::vector<Action> readScript(std::istream& in);
// The same from a file descriptor, read to its end.
std::vector<Action> readScript(int fd);
// The same from the file at `path`. A file that cannot be opened or read, or a
// folder, throws ScriptUnreadable saying so with the file's name.
std::vector<Action> readScriptFile(const std::string& path);

}  // namespace torvin::sim
